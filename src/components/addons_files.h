// addons_files.h - the file searches of the add-on steps: the first file a
// pattern matches, and every file it matches listed before any is touched.
#ifndef ZK_COMPONENTS_ADDONS_FILES_H
#define ZK_COMPONENTS_ADDONS_FILES_H

#include <cstddef>

#include "components/addons.h"
#include "platform/text.h"

namespace zk {

// The name (no folder) of the first entry matching `pattern` that is neither
// "." nor ".." nor a folder; false when there is none or it does not fit.
bool findFirstFile(const char* pattern, char* name, size_t cap);

// The names of the files matching `pattern`, in the order the search gives them.
struct FileNames {
    char names[kMaxGameInstallers][kText];
    int count = 0;
    bool complete = true;  // false when more matched than the list holds
};
void listFiles(const char* pattern, FileNames& out);

} // namespace zk

#endif

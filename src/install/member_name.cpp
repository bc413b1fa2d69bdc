// Archive member names checked before anything is written or logged.
#include "install/member_name.h"

#include "platform/relpath.h"

namespace zk {

bool isSafeMemberName(const char* name) {
    // A name is joined to the destination as it stands, so the shared guard
    // is the whole rule; its length is checked where the path is formed.
    return isSafeRelativePath(name);
}

} // namespace zk

// install_thread.h - the game file installation's worker and its job block.
#ifndef ZK_INSTALL_INSTALL_THREAD_H
#define ZK_INSTALL_INSTALL_THREAD_H

#include <string>
#include <vector>

#include "ZKInstall.h"

namespace zk {

// What ZKINSTALL_copyCacheFiles hands the worker; the worker frees it.
struct InstallJob {
    int installType = 3;
    char listPath[260] = "";
    char* sourceRoot = nullptr;  // the installer's install-from folder, moved by disc requests
    char installFolder[260] = "";
    float* percent = nullptr;
    int* cancel = nullptr;
    int* running = nullptr;
    char* currentFile = nullptr;
    __int64 expectedBytes = 0;
    int* currentDisc = nullptr;
    int startupDisc = 0;
    bool debug = false;
    const char* productGuid = "";
};

// Merges "common_filelist.txt" (current folder) and the language list into the
// work list, ordered by disc then level.  False when the user gave up.
bool loadFileList(std::vector<std::string>* work, const char* listPath);

void installThread(InstallJob* job);

} // namespace zk

#endif

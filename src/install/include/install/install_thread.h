// install_thread.h - the game file installation's worker and its job block.
#ifndef ZK_INSTALL_INSTALL_THREAD_H
#define ZK_INSTALL_INSTALL_THREAD_H

#include <string>
#include <vector>

#include "ZKInstall.h"

namespace zk {

// Tells the installer state where the discs are now: called by the worker
// after a disc request moved the install-from location (the disc found).
typedef void (*PublishDiscFn)(const char* root, int disc);

// What ZKINSTALL_copyCacheFiles hands the worker; the worker frees it.  The
// worker owns copies of every input; the pointers are the host's shared
// progress values and the publisher of a moved install-from location.
struct InstallJob {
    int installType = 3;
    char listPath[260] = "";
    char sourceRoot[260] = "";  // the install-from folder, moved by disc requests
    char installFolder[260] = "";
    char languagePrefix[260] = "";
    char readmeFile[260] = "";
    char productGuid[260] = "";
    float* percent = nullptr;
    int* cancel = nullptr;
    int* running = nullptr;
    char* currentFile = nullptr;
    __int64 expectedBytes = 0;
    int currentDisc = 0;
    int startupDisc = 0;
    bool debug = false;
    PublishDiscFn publishDisc = nullptr;
};

// Copies the disc's "ReadMe\<prefix>_readme.txt" to "Support\<readme>" in
// the install folder and logs it; nothing without the disc's ReadMe folder.
// False when the copy or its log line failed (traced in debug mode).
bool copyReadMe(const char* installFrom, const char* prefix, const char* installFolder,
                const char* readmeFile, bool debug);

// Merges "common_filelist.txt" (current folder) and the language list into the
// work list, ordered by disc then level.  False when the user gave up.
bool loadFileList(std::vector<std::string>* work, const char* listPath);

// Runs the installation of the job and frees it.
void installThread(InstallJob* job);
// Starts installThread on a thread of its own (stack of 1,024,000 bytes);
// the thread's handle, or null when it could not start (the job is freed).
// The library keeps a handle of its own to the worker started last, for a
// cancellation that must see the copy end.
void* startInstallThread(InstallJob* job);

// Lets the copy worker started last go on when the host paused it
// (CZKCopyFile::copySuspended): a paused worker keeps the install log open.
void resumeCopyWorker();

// Waits at most `ms` for the copy worker started last to end, keeping it
// resumed and *cancel (when given) at 1 meanwhile: the worker clears the flag
// once as it starts.  True when no worker is left running.
bool waitForCopyWorker(unsigned long ms, int* cancel);

} // namespace zk

#endif

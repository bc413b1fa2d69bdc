// The exports of the game file installation.
#include <cstdint>

#include "core/installer.h"
#include "install/install_thread.h"

using namespace zk;

__int64 ZKINSTALL_getInstallSize(int type) {
    const CZKInstaller& s = installer();
    switch (type) {
    case 1: return s.m_installMinimum;
    case 2: return s.m_installSatisfactory;
    case 4: return s.m_installFullNoStreaming;
    default: return s.m_installFull;
    }
}

int ZKINSTALL_copyReadMe() {
    CZKInstaller& s = installer();
    char from[kText];
    copyInstallFrom(s, from, sizeof from);
    copyReadMe(from, s.m_languagePrefix, s.m_installFolder, s.m_readmeFile, s.m_debug);
    return 0;
}

// The worker's disc requests move the installer's install-from location.
static void publishFromWorker(const char* root, int disc) {
    publishInstallFrom(installer(), root, disc);
}

bool ZKINSTALL_copyCacheFiles(int installType, int* running, char* currentFile, float* percent,
                              int* cancel, __int64 expectedBytes, void** threadHandle) {
    CZKInstaller& s = installer();
    InstallJob* job = new InstallJob();
    job->installType = installType;
    copyInstallFrom(s, job->sourceRoot, sizeof job->sourceRoot);
    formatText(job->listPath, sizeof job->listPath, "%s\\%s_filelist.txt", job->sourceRoot,
               s.m_languagePrefix);
    copyText(job->installFolder, s.m_installFolder);
    copyText(job->languagePrefix, s.m_languagePrefix);
    copyText(job->readmeFile, s.m_readmeFile);
    copyText(job->productGuid, s.m_productGUID);
    job->percent = percent;
    job->cancel = cancel;
    job->running = running;
    job->currentFile = currentFile;
    job->expectedBytes = expectedBytes;
    job->currentDisc = s.m_currentDisc;
    job->startupDisc = s.m_startupDisc;
    job->debug = s.m_debug;
    job->publishDisc = publishFromWorker;
    void* handle = startInstallThread(job);
    // A thread that could not start is reported as the handle -1.
    if (threadHandle)
        *threadHandle = handle ? handle : reinterpret_cast<void*>(static_cast<intptr_t>(-1));
    return true;
}

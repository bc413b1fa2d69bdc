// Disc identification, disc requests, and the checks of a target drive.
#include "install/discs.h"

#include <cstring>
#include <string>

#include "core/host.h"
#include "core/inifile.h"
#include "core/prompts.h"
#include "platform/text.h"

namespace zk {

bool g_installationCancelled = false;

namespace {

const char kImagesMarker[] = "\\Disk Images\\";

// A drive without a medium must fail quietly: the system's "no disk" box would
// wait for a person in the middle of a search.
class QuietDriveErrors {
  public:
    QuietDriveErrors() : m_old(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~QuietDriveErrors() { SetErrorMode(m_old); }

  private:
    UINT m_old;
};

bool isDriveLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The host's cancel flag is written by another thread while a request runs on
// the installation thread: read it afresh on every pass.
int readCancel(const int* cancel) { return *static_cast<const volatile int*>(cancel); }

bool hostAnswersDiscRequests() {
    return g_beforeDiscRequest != nullptr && g_beforeDiscRequest != noDiscAnswer;
}

void callAfterRequest(int wanted) {
    if (g_afterDiscRequest)
        g_afterDiscRequest(wanted);  // its answer carries no meaning
}

// One pass over the places the wanted disc may be; sets *current to what was
// found (-1 for nothing of this product).
void searchOnce(int* current, int wanted, char* root, size_t rootSize, const char* guid) {
    QuietDriveErrors quiet;
    if (const char* marker = strstr(root, kImagesMarker)) {
        // The discs are sibling folders Disk1, Disk2, ... below "Disk Images".
        std::string base(root, marker - root);
        formatText(root, rootSize, "%s\\Disk Images\\Disk%d", base.c_str(), wanted);
        *current = identifyDisc(root, false, guid);
        return;
    }
    *current = -1;
    DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i)))
            continue;
        char drive[4] = {static_cast<char>('A' + i), ':', '\\', '\0'};
        if (GetDriveTypeA(drive) != DRIVE_CDROM)
            continue;
        copyText(root, rootSize, drive);
        *current = identifyDisc(root, false, guid);
        if (*current == wanted)
            return;
    }
}

// Makes the place where the disc was found the current directory: the drive's
// root, or the disc-image folder itself, where the file lists are opened
// relative to it.  False when root does not start with a drive letter.
bool enterDisc(const char* root) {
    if (!isDriveLetter(root[0]))
        return false;
    char target[kText];
    if (strstr(root, kImagesMarker))
        copyText(target, root);
    else
        formatText(target, sizeof target, "%c:\\", root[0]);
    // A failure leaves the current directory where it was; the root string
    // still names the disc for everything that follows.
    SetCurrentDirectoryA(target);
    return true;
}

} // namespace

int identifyDisc(const char* root, bool /*debug*/, const char* productGUID) {
    const char* base = root ? root : "";
    size_t len = strlen(base);
    char path[MAX_PATH + 16];
    if (len + 13 > sizeof path)
        return -1;  // no such file can exist
    formatText(path, sizeof path, "%s%sAutoRun.inf", base,
               len > 0 && base[len - 1] == '\\' ? "" : "\\");

    CIniFile inf;
    inf.setPath(path);
    inf.load();  // a missing file leaves every key empty
    return discNumberFromInf(inf, productGUID);
}

int requestDisc(int* current, int wanted, char* root, int* cancel, bool /*debug*/,
                int confirmKind, const char* productGUID, size_t rootSize) {
    const bool ownBoxes = root[0] == '\0' || !hostAnswersDiscRequests();
    for (;;) {
        if (readCancel(cancel) == 1)
            break;
        searchOnce(current, wanted, root, rootSize, productGUID);
        if (*current == wanted)
            break;
        const int quitText = confirmKind != 0 ? kTextQuitInstall : kTextQuitSetup;
        if (ownBoxes) {
            // The letter of the place searched last, as the prompt names it.
            PromptAnswer answer = askForDisc(root[0], quitText);
            if (answer == kPromptQuit) {
                *cancel = -1;
                break;
            }
            if (answer == kPromptRetry)
                callAfterRequest(wanted);
            continue;
        }
        if (g_beforeDiscRequest(wanted) == IDCANCEL) {
            if (confirmQuit(nullptr, quitText)) {
                *cancel = -1;
                break;
            }
            continue;
        }
        callAfterRequest(wanted);
    }
    return *current;
}

bool driveRootOf(const char* path, char* root, size_t rootSize) {
    const char* colon = path ? strchr(path, ':') : nullptr;
    if (!colon || static_cast<size_t>(colon - path) + 3 > rootSize)
        return false;
    size_t n = colon - path + 1;
    memcpy(root, path, n);
    root[n] = '\\';
    root[n + 1] = '\0';
    return true;
}

__int64 clusterBytes(DWORD freeClusters, DWORD sectorsPerCluster, DWORD bytesPerSector) {
    return static_cast<__int64>(static_cast<unsigned __int64>(freeClusters) * sectorsPerCluster *
                                bytesPerSector);
}

DiskFreeSpaceExFn lookUpDiskFreeSpaceEx() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return nullptr;
    return reinterpret_cast<DiskFreeSpaceExFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
}

__int64 freeBytes(const char* path, DiskFreeSpaceExFn freeSpaceEx) {
    if (!path || !*path)
        return 0;
    char root[kText];
    const char* where = driveRootOf(path, root, sizeof root) ? root : path;
    QuietDriveErrors quiet;
    if (freeSpaceEx) {
        ULARGE_INTEGER available, total, totalFree;
        if (freeSpaceEx(where, &available, &total, &totalFree))
            return static_cast<__int64>(available.QuadPart);
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(where, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return 0;
    return clusterBytes(freeClusters, sectorsPerCluster, bytesPerSector);
}

int requestCD(int wanted, const char* installFolder, char* installFrom, bool debug,
              const char* productGUID) {
    int cancel = 0;
    // Disc numbers start at 1: anything lower asks for no disc.
    if (wanted > 0) {
        if (debug) {
            char cacheFile[kText];
            formatText(cacheFile, sizeof cacheFile, "%s\\filelist.txt",
                       installFolder ? installFolder : "");
            char text[3 * kText];
            formatText(text, sizeof text, "Using cachefile '%s' to identify CD '%d' in CDDIR '%s'",
                       cacheFile, wanted, installFrom);
            DebugMessageBox(nullptr, text, "requestStartupCD", 0);
        }
        int current = identifyDisc(installFrom, debug, productGUID);
        while (current != wanted) {
            current = identifyDisc(installFrom, debug, productGUID);
            if (current != wanted) {
                requestDisc(&current, wanted, installFrom, &cancel, debug, 0, productGUID, kText);
                if (cancel == -1)
                    break;
            }
            if (!enterDisc(installFrom))
                break;
        }
    }
    g_installationCancelled = cancel != 0;
    return cancel;
}

bool isWritableDrive(const char* path) {
    char root[kText];
    if (!driveRootOf(path, root, sizeof root))
        return false;
    QuietDriveErrors quiet;
    // A DVD may carry another file system than CDFS; the drive type tells.
    if (GetDriveTypeA(root) == DRIVE_CDROM)
        return false;
    char fileSystem[MAX_PATH + 1] = {};
    DWORD flags = 0;
    if (!GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, &flags, fileSystem,
                               sizeof fileSystem))
        return false;
    if (flags & FILE_READ_ONLY_VOLUME)
        return false;
    return fileSystem[0] != '\0' && strcmp(fileSystem, "CDFS") != 0;
}

} // namespace zk

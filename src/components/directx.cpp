// CZKDirectX: one loading of the disc's dsetup.dll, the versions it reports,
// the licence text it holds and the DirectX setup it runs.
#include "components/directx.h"

#include <cstdlib>
#include <cstring>

#include "core/host.h"

namespace zk {

namespace {

const char kLibraryName[] = "dsetup.dll";

// Makes a folder current for the life of the object and restores the one
// before: the setup library and the setup it runs expect their own folder.
class CurrentFolder {
  public:
    explicit CurrentFolder(const char* folder) {
        DWORD n = GetCurrentDirectoryA(sizeof m_saved, m_saved);
        m_restore = n > 0 && n < sizeof m_saved;
        SetCurrentDirectoryA(folder);
    }
    ~CurrentFolder() {
        if (m_restore)
            SetCurrentDirectoryA(m_saved);
    }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

  private:
    char m_saved[1024];
    bool m_restore = false;
};

// "<folder>\dsetup.dll" as a full path; false when it does not fit.
bool libraryPath(const char* folder, char* out, DWORD cap) {
    char named[kText];
    if (!folder || strlen(folder) + sizeof kLibraryName + 1 > sizeof named)
        return false;
    formatText(named, sizeof named, "%s\\%s", folder, kLibraryName);
    DWORD n = GetFullPathNameA(named, cap, out, nullptr);
    return n > 0 && n < cap;
}

template <typename Entry>
Entry entry(HMODULE library, const char* name) {
    return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

CZKDirectX::CZKDirectX() {}

CZKDirectX::~CZKDirectX() { unload(); }

void CZKDirectX::report(const char* text, const char* caption) const {
    showMessage(nullptr, text, caption, MB_OK);
}

void CZKDirectX::load(const char* folder) {
    // A second load must not leave the first library, or its entries, behind.
    unload();
    copyText(m_folder, folder);
    char path[MAX_PATH + 1];
    bool havePath = libraryPath(folder, path, sizeof path);
    CurrentFolder here(folder);
    // By full path: a bare name searches the program's and the system folder
    // first and reuses a dsetup.dll already loaded, so another library than
    // the disc's would answer.  The altered search path lets the library find
    // its companions beside it.
    if (havePath)
        m_library = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!m_library) {
        if (m_debug)
            report("Could not load dsetup.dll", "");
        return;
    }
    m_setup = entry<SetupEntry>(m_library, "DirectXSetupA");
    m_version = entry<VersionEntry>(m_library, "DirectXSetupGetVersion");
    m_eula = entry<EulaEntry>(m_library, "DirectXSetupGetEULAA");
    if (!m_setup)
        report("Cannot get address of DirectXSetupA", "Dsetup.dll");
    if (!m_version)
        report("Cannot get address of DirectXSetupGetVersion", "Dsetup.dll");
}

void CZKDirectX::unload() {
    if (m_library)
        FreeLibrary(m_library);
    m_library = nullptr;
    // The entries point into the freed library: a later failed load must not
    // leave them callable.
    m_setup = nullptr;
    m_version = nullptr;
    m_eula = nullptr;
}

int CZKDirectX::getVersions(const char*, int* status, char* discName, char* installedName) {
    if (!m_library) {
        copyText(discName, kText, "0.0");
        return kDiscOlder;
    }
    int relation = kDiscNewer;
    copyText(discName, kText, "UNKNOWN");
    copyText(installedName, kText, "UNKNOWN");

    unsigned long version = 0, revision = 0;
    bool asked = false;
    if (!m_version)
        report("m_DirectXSetupGetVersion is NULL", "oops");
    else
        asked = m_version(&version, &revision) != 0;
    // A library without the entry counts as a failed query, not a call through null.
    int answer = asked ? 1 : 3;
    if (status)
        *status = answer;

    char installedFile[kText] = {};
    if (asked) {
        unsigned fields[] = {HIWORD(version), LOWORD(version), HIWORD(revision), LOWORD(revision)};
        formatText(installedFile, sizeof installedFile, "%u.%u.%u.%u", fields[0], fields[1],
                   fields[2], fields[3]);
        getInstalledVersion(installedName);
    }

    // Read by full path: a bare name would be looked for along the library
    // search path, where another dsetup.dll may come first.
    char discFile[1024] = {};
    char path[MAX_PATH + 1];
    if (libraryPath(m_folder, path, sizeof path)) {
        CZKVersion reader;
        reader.getVersionString(path, discFile);
    }
    if (asked) {
        copyText(discName, kText, discFile);
        getVersionName(discName, kText);
        CZKVersion versions;
        int order = versions.compare(installedFile, discFile);
        relation = order < 0 ? kDiscNewer : order > 0 ? kDiscOlder : kDiscSame;
    }
    // XP ships with DirectX 8.1: a disc that offers it installs nothing new.
    if (strcmp(m_os, "Windows XP") == 0 && strcmp(discName, "8.1") == 0)
        relation = kDiscSame;
    if (m_debug)
        report(relation == kDiscNewer   ? "CD NEWER THAN HD"
               : relation == kDiscOlder ? "CD OLDER THAN HD"
                                        : "CD SAME AS HD",
               "");
    return relation;
}

bool CZKDirectX::install(const char*, bool* installed) {
    // The caller reads *installed back: when nothing can run, nothing was installed.
    if (!m_library || !m_setup) {
        if (installed)
            *installed = false;
        return false;
    }
    CurrentFolder here(m_folder);
    int result = m_setup(nullptr, m_folder, kSetupDirectX);
    bool reboot = result == kSetupSuccessRestart;
    if (reboot && m_debug)
        report("DirectX Reports Reboot Required", "DEBUG");
    if (installed)
        *installed = result == kSetupSuccess || result == kSetupSuccessRestart;
    return reboot;
}

int CZKDirectX::getEULA(char** text, unsigned* size, int languageIndex) {
    if (!text || !size)
        return -1;
    *text = nullptr;
    *size = 0;
    if (!m_eula)
        return -1;
    unsigned short language = getLanguageId(languageIndex);
    unsigned needed = m_eula(nullptr, 0, language);
    // No text in this language: nothing to allocate, and the caller gets no buffer.
    if (needed == 0)
        return -1;
    // One byte more, so the text is terminated even when the library fills it all.
    char* buffer = static_cast<char*>(malloc(static_cast<size_t>(needed) + 1));
    if (!buffer)
        return -1;
    buffer[needed] = '\0';
    *text = buffer;
    *size = needed;
    if (m_eula(buffer, needed, language) != 0)
        return 0;

    DWORD error = GetLastError();
    char* message = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<char*>(&message), 0, nullptr);
    if (n != 0 && message)
        MessageBoxA(nullptr, message, "DirectX Error", MB_OK);
    // The system allocated the text; it is its own heap's to free.
    if (message)
        LocalFree(message);
    return -1;
}

int CZKDirectX::freeEULA(char** text) {
    // Null, or a text already freed, is nothing to free.
    if (text) {
        free(*text);
        *text = nullptr;
    }
    return 0;
}

} // namespace zk

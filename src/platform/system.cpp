// CZKSystem: system facts determined once per process, special folders, and
// starting other programs.
#include "ZKInstall.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/text.h"
#include "platform/notify.h"
#include "platform/system_seams.h"

bool CZKSystem::initialized = false;
bool CZKSystem::m_isNorthAmerica = false;
bool CZKSystem::m_isNT = false;
bool CZKSystem::m_isAdmin = false;
char CZKSystem::m_OS[260] = "";
char CZKSystem::m_windowsSystemPath[260] = "";
char CZKSystem::m_programFilesPath[260] = "";
char CZKSystem::m_windowsPath[260] = "";
char CZKSystem::m_tempPath[260] = "";
char CZKSystem::m_startMenuPath[260] = "";
char CZKSystem::m_startUpMenuPath[260] = "";
char CZKSystem::m_desktopPath[260] = "";
char CZKSystem::m_locale[260] = "";
char CZKSystem::m_profilesPath[260] = "";

namespace {

typedef BOOL(WINAPI* SpecialFolderFn)(HWND, LPSTR, int, BOOL);

SpecialFolderFn lookUpSpecialFolderFunction() {
    HMODULE shell = LoadLibraryA("shell32.dll");
    if (!shell)
        return nullptr;
    return reinterpret_cast<SpecialFolderFn>(
        reinterpret_cast<void*>(GetProcAddress(shell, "SHGetSpecialFolderPathA")));
}

// One special folder: the all-users folder on NT, else the current user's
// "Shell Folders" value.  A failure leaves the member empty.
void fillFolder(char* member, SpecialFolderFn special, int csidl, const char* shellFolderValue) {
    member[0] = '\0';
    if (CZKSystem::m_isNT && special) {
        char path[MAX_PATH + 1] = {};
        if (special(nullptr, path, csidl, FALSE))
            zk::copyText(member, 260, path);
        return;
    }
    CZKRegistry key;
    if (key.openKey(HKEY_CURRENT_USER,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders") != 0)
        return;
    char value[261] = {};
    unsigned long size = 260;
    if (key.getValue(shellFolderValue, value, &size) == 0)
        zk::copyText(member, 260, value);
}

zk::RebootSeam s_rebootSeam = nullptr;

} // namespace

namespace zk {
void setRebootSeam(RebootSeam seam) { s_rebootSeam = seam; }

const char* osNameFor(DWORD platform, DWORD major, DWORD minor, bool* isNT) {
    *isNT = false;
    switch (platform) {
    case VER_PLATFORM_WIN32s:
        return "Microsoft Win32s";
    case VER_PLATFORM_WIN32_WINDOWS:
        if (major >= 4 && minor >= 90)
            return "Windows ME";
        if (major > 4 || (major == 4 && minor > 0))
            return "Windows 98";
        return "Windows 95";
    case VER_PLATFORM_WIN32_NT:
        *isNT = true;
        if (major <= 4)
            return "Windows NT";
        if (major == 5)
            return minor == 0 ? "Windows 2000" : "Windows XP";
        return "Window Vista";
    default:
        return "Unknown";
    }
}

void readLocale(const char* keyPath, char* locale, bool* northAmerica) {
    *northAmerica = false;
    CZKRegistry key;
    int rc = key.openKey(HKEY_CURRENT_USER, keyPath);
    if (rc != 0) {
        // While the library loads the host has had no chance to set its
        // callback; showMessage then leaves the text in the debugger output.
        char text[512];
        zk::systemErrorText(static_cast<unsigned long>(rc), text, sizeof text);
        zk::notifyMessage(text, "Error", MB_ICONINFORMATION);
        return;
    }
    char value[261] = {};
    unsigned long size = 260;
    if (key.getValue("Locale", value, &size) != 0)
        return;
    zk::copyText(locale, 260, value);
    *northAmerica = isNorthAmericanLocale(locale);
}

bool isNorthAmericanLocale(const char* locale) {
    size_t len = strlen(locale);
    const char* tail = len > 4 ? locale + len - 4 : locale;
    return strcmp(tail, "0409") == 0 || strcmp(tail, "1009") == 0;
}
} // namespace zk

CZKSystem::CZKSystem() : m_debug(false) {
    SpecialFolderFn special = lookUpSpecialFolderFunction();
    if (initialized)
        return;
    determineOS();
    determineIfNorthAmerica();

    char path[MAX_PATH + 1] = {};
    if (GetSystemDirectoryA(path, sizeof path) < sizeof path)
        zk::copyText(m_windowsSystemPath, path);
    if (GetWindowsDirectoryA(path, sizeof path) < sizeof path)
        zk::copyText(m_windowsPath, path);
    if (GetTempPathA(sizeof path, path) < sizeof path) {
        zk::copyText(m_tempPath, path);
        zk::cutTrailingBackslash(m_tempPath);
    }
    getProgramFilesPath(m_programFilesPath, sizeof m_programFilesPath);

    fillFolder(m_startMenuPath, special, CSIDL_COMMON_PROGRAMS, "Programs");
    fillFolder(m_desktopPath, special, CSIDL_COMMON_DESKTOPDIRECTORY, "Desktop");
    fillFolder(m_startUpMenuPath, special, CSIDL_COMMON_STARTUP, "Startup");

    m_profilesPath[0] = '\0';
    if (m_isNT && special) {
        char profile[MAX_PATH + 1] = {};
        if (special(nullptr, profile, CSIDL_PROFILE, FALSE)) {
            zk::cutTrailingBackslash(profile);
            char* slash = strrchr(profile, '\\');
            if (slash)
                *slash = '\0';
            zk::copyText(m_profilesPath, profile);
        }
    } else {
        zk::copyText(m_profilesPath, m_windowsPath);
    }

    initialized = true;
    if (!m_isNT)
        m_isAdmin = true;
    else if (strcmp(m_OS, "Window Vista") == 0)
        m_isAdmin = true;
    else
        m_isAdmin = isAdmin() == 1;
}

CZKSystem::~CZKSystem() {}

CZKSystem& CZKSystem::operator=(const CZKSystem& other) {
    m_debug = other.m_debug;
    return *this;
}

void CZKSystem::setDebugMode(bool debug) { m_debug = debug; }
void CZKSystem::getOS(char* out) { zk::copyText(out, 260, m_OS); }
bool CZKSystem::getIsNT() { return m_isNT; }
bool CZKSystem::getIsAdminstator() { return m_isAdmin; }
bool CZKSystem::getIsNorthAmerica() { return m_isNorthAmerica; }
void CZKSystem::getWindowsSystemPath(char* out) { zk::copyText(out, 260, m_windowsSystemPath); }
void CZKSystem::getWindowsPath(char* out) { zk::copyText(out, 260, m_windowsPath); }
void CZKSystem::getTempPath(char* out) { zk::copyText(out, 260, m_tempPath); }
void CZKSystem::getProgramFilesPath(char* out) { zk::copyText(out, 260, m_programFilesPath); }
void CZKSystem::getStartMenuPath(char* out) { zk::copyText(out, 260, m_startMenuPath); }
void CZKSystem::getStartUpMenuPath(char* out) { zk::copyText(out, 260, m_startUpMenuPath); }
void CZKSystem::getDesktopPath(char* out) { zk::copyText(out, 260, m_desktopPath); }
void CZKSystem::getProfilesPath(char* out) { zk::copyText(out, 260, m_profilesPath); }

bool CZKSystem::convertVersion(char* text) {
    bool replaced = false;
    for (char* p = text; p && *p; ++p)
        if (*p == ',') {
            *p = '.';
            replaced = true;
        }
    return replaced;
}

bool CZKSystem::fileExists(const char* name) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(name, &found);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FindClose(h);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void CZKSystem::determineOS() {
    zk::copyText(m_OS, "Unknown");
    OSVERSIONINFOEXA info;
    memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)))
            return;
    }
    bool nt = false;
    zk::copyText(m_OS, zk::osNameFor(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                                     &nt));
    m_isNT = nt;
}

void CZKSystem::determineIfNorthAmerica() {
    zk::readLocale("Control Panel\\International", m_locale, &m_isNorthAmerica);
}

bool CZKSystem::getProgramFilesPath(char* out, int size) {
    out[0] = '\0';
    CZKRegistry key;
    if (key.openKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion") != 0)
        return false;
    char value[1024] = {};
    unsigned long bytes = sizeof value - 1;
    if (key.getValue("ProgramFilesDir", value, &bytes) != 0)
        return false;
    zk::copyText(out, size, value);
    return true;
}

int CZKSystem::isAdmin() {
    BOOL granted = FALSE;
    HANDLE token = nullptr;
    PSID admins = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    PACL acl = nullptr;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;

    if (!ImpersonateSelf(SecurityImpersonation))
        return 0;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) {
        if (GetLastError() != ERROR_NO_TOKEN ||
            !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
            RevertToSelf();
            return 0;
        }
    }
    do {
        if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                      DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &admins))
            break;
        sd = LocalAlloc(LPTR, SECURITY_DESCRIPTOR_MIN_LENGTH);
        if (!sd || !InitializeSecurityDescriptor(sd, SECURITY_DESCRIPTOR_REVISION))
            break;
        DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(admins) -
                        sizeof(DWORD);
        acl = static_cast<PACL>(LocalAlloc(LPTR, aclSize));
        if (!acl || !InitializeAcl(acl, aclSize, ACL_REVISION2))
            break;
        if (!AddAccessAllowedAce(acl, ACL_REVISION2, 3, admins))
            break;
        if (!SetSecurityDescriptorDacl(sd, TRUE, acl, FALSE))
            break;
        SetSecurityDescriptorGroup(sd, admins, FALSE);
        SetSecurityDescriptorOwner(sd, admins, FALSE);
        if (!IsValidSecurityDescriptor(sd))
            break;
        GENERIC_MAPPING mapping = {1, 2, 0, 3};
        BYTE privileges[20];
        DWORD privilegesSize = sizeof privileges;
        DWORD grantedAccess = 0;
        if (!AccessCheck(sd, token, 1, &mapping, reinterpret_cast<PPRIVILEGE_SET>(privileges),
                         &privilegesSize, &grantedAccess, &granted)) {
            printf("AccessCheck() failed with error %lu\n", GetLastError());
            granted = FALSE;
        }
    } while (false);
    RevertToSelf();
    if (acl)
        LocalFree(acl);
    if (sd)
        LocalFree(sd);
    if (admins)
        FreeSid(admins);
    CloseHandle(token);
    return granted ? 1 : 0;
}

unsigned long CZKSystem::execAndWait(const char* program, const char* folder,
                                     const char* arguments, int timeout, int) {
    DWORD result = 0xFFFFFFFF;
    int budget = timeout < 1 ? 1 : timeout;
    char saved[1024] = {};
    DWORD savedLen = GetCurrentDirectoryA(sizeof saved, saved);
    if (savedLen >= sizeof saved)
        saved[0] = '\0';
    if (!program)
        program = "";
    if (!arguments)
        arguments = "";

    for (;;) {
        if (SetCurrentDirectoryA(folder ? folder : "") && fileExists(program))
            break;
        // The program is not there (a disc may be missing): whoever installed
        // the hooks asks for it, and may end the process when the user quits.
        if (!zk::notifyProgramMissing(program)) {
            if (saved[0])
                SetCurrentDirectoryA(saved);
            return result;
        }
    }

    char commandLine[2048];
    if (arguments[0])
        zk::formatText(commandLine, sizeof commandLine, "\"%s\" %s", program, arguments);
    else
        zk::formatText(commandLine, sizeof commandLine, "\"%s\"", program);
    if (m_debug)
        zk::notifyMessage(commandLine, "CreateProcess", MB_OK);

    bool started = false;
    while (budget > 0) {
        if (timeout != 0)
            --budget;
        SetLastError(0);
        if (started)
            continue;
        STARTUPINFOA si;
        memset(&si, 0, sizeof si);
        si.cb = sizeof si;
        PROCESS_INFORMATION pi;
        if (CreateProcessA(program, commandLine, nullptr, nullptr, FALSE,
                           CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &si,
                           &pi)) {
            budget = timeout;
            DWORD code = STILL_ACTIVE;
            do {
                if (!GetExitCodeProcess(pi.hProcess, &code)) {
                    result = 0;
                    budget = 0;
                    break;
                }
                result = code;
                started = true;
                Sleep(1);
                if (timeout != 0 && --budget <= 0)
                    break;
            } while (code == STILL_ACTIVE);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        } else if (budget <= 0 || timeout == 0) {
            // Without a poll budget the start would be retried for ever; report
            // the failure at once, as debug mode does.
            DWORD error = GetLastError();
            char reason[512];
            zk::systemErrorText(error, reason, sizeof reason);
            char text[1024];
            zk::formatText(text, sizeof text, "Error executing '%s'\n%s", program, reason);
            zk::notifyMessage(text, "Exec And Wait", MB_ICONINFORMATION);
            budget = 0;
        } else {
            Sleep(1);
        }
    }
    if (saved[0])
        SetCurrentDirectoryA(saved);
    return result;
}

bool CZKSystem::asyncExec(const char* file, const char* folder, const char* parameters) {
    HINSTANCE h = ShellExecuteA(nullptr, "open", file, parameters, folder, SW_SHOWNORMAL);
    INT_PTR code = reinterpret_cast<INT_PTR>(h);
    if (code > 32)
        return true;
    int id = 147;
    switch (code) {
    case 0: id = 134; break;
    case ERROR_FILE_NOT_FOUND: id = 135; break;
    case ERROR_PATH_NOT_FOUND: id = 136; break;
    case ERROR_BAD_FORMAT: id = 137; break;
    case SE_ERR_ACCESSDENIED: id = 138; break;
    case SE_ERR_ASSOCINCOMPLETE: id = 139; break;
    case SE_ERR_DDEBUSY: id = 140; break;
    case SE_ERR_DDEFAIL: id = 141; break;
    case SE_ERR_DDETIMEOUT: id = 142; break;
    case SE_ERR_DLLNOTFOUND: id = 143; break;
    case SE_ERR_NOASSOC: id = 144; break;
    case SE_ERR_OOM: id = 145; break;
    case SE_ERR_SHARE: id = 146; break;
    default: break;
    }
    char text[1024];
    zk::notifyHostText(id, text, sizeof text);
    zk::notifyMessage(text, file, MB_OK);
    return false;
}

void CZKSystem::rebootSystem() {
    if (m_isNT) {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
            return;
        TOKEN_PRIVILEGES privileges;
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        bool ok = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege",
                                        &privileges.Privileges[0].Luid) &&
                  AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                  GetLastError() == ERROR_SUCCESS;
        CloseHandle(token);
        if (!ok)
            return;
    }
    BOOL restarted = s_rebootSeam ? s_rebootSeam() : ExitWindowsEx(EWX_REBOOT, 0);
    if (!restarted) {
        char text[512];
        zk::systemErrorText(GetLastError(), text, sizeof text);
        zk::notifyMessage(text, "SHUTDOWN FAILED", MB_OK);
    }
}

// Shell links and Internet shortcuts, the names they are saved under, the
// group-name check and the web shortcut's address.
#include "integration/shortcuts.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "core/inifile.h"
#include "core/installer.h"
#include "core/paths.h"
#include "platform/text.h"

namespace zk {

const char kNoShortcutsOS[] = "Window Vista";

namespace {

// A link name cut to fit would be saved as another file, and could end inside
// a double-byte character: such a path is refused instead.
bool fitsAsPath(const char* path) { return path && strnlen(path, kText) < static_cast<size_t>(kText); }

// The shell's link object lives in COM, which this thread may not have
// started; once per process, as the link code has always done.
void startComOnce() {
    static bool s_started = false;
    if (!s_started) {
        s_started = true;
        CoInitialize(nullptr);  // S_FALSE (already started) is as good
    }
}

const int kGroupNameLimit = 128;

} // namespace

bool createShellLink(const char* target, const char* linkPath, const char* description,
                     const char* iconPath, int iconIndex, const char* workingFolder,
                     const char* arguments) {
    if (!target || !fitsAsPath(linkPath))
        return false;
    char path[kText];
    cleanPath(linkPath, path);
    wchar_t widePath[kText];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, kText) <= 0)
        return false;

    startComOnce();
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))) ||
        !link)
        return false;
    // A link whose target or a given field did not take would point somewhere
    // else or look like another program's: it is not saved.
    bool ok = SUCCEEDED(link->SetPath(target));
    if (ok && description)
        ok = SUCCEEDED(link->SetDescription(description));
    if (ok && iconPath)
        ok = SUCCEEDED(link->SetIconLocation(iconPath, iconIndex));
    if (ok && workingFolder)
        ok = SUCCEEDED(link->SetWorkingDirectory(workingFolder));
    if (ok && arguments)
        ok = SUCCEEDED(link->SetArguments(arguments));

    bool saved = false;
    IPersistFile* file = nullptr;
    if (ok && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        file) {
        // Only a save that worked counts: the uninstaller relies on the answer.
        saved = SUCCEEDED(file->Save(widePath, TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}

bool createInternetShortcut(const char* url, const char* path) {
    if (!fitsAsPath(path))
        return false;
    char clean[kText];
    cleanPath(path, clean);
    FILE* f = fopen(clean, "w");  // text mode: each line ends in CR LF
    if (!f)
        return false;
    bool written = fprintf(f, "[InternetShortcut]\nURL=%s\n", url ? url : "") > 0;
    return fclose(f) == 0 && written;
}

bool linkFilePath(const char* folder, const char* name, const char* extension, char* out,
                  size_t cap) {
    // The name is one file name: a product called "..\\..\\Startup\\x" must not
    // plant its link in another folder.
    char file[kText];
    cleanComponent(name, file);
    char path[3 * kText];
    formatText(path, sizeof path, "%s\\%s%s", folder ? folder : "", file, extension ? extension : "");
    if (!fitsAsPath(path) || cap < static_cast<size_t>(kText)) {
        if (out && cap)
            out[0] = '\0';
        return false;
    }
    cleanPath(path, out);
    return true;
}

bool isValidGroupName(const char* name, const char* startupFolderName) {
    if (!name || !*name || strlen(name) >= static_cast<size_t>(kGroupNameLimit))
        return false;
    // With no Startup folder known there is nothing to tell apart; comparing
    // with "" would refuse every name.
    size_t startup = startupFolderName ? strlen(startupFolderName) : 0;
    if (startup > 0 && _strnicmp(name, startupFolderName, startup) == 0)
        return false;
    if (strpbrk(name, "*?\"/|><:\\"))
        return false;
    // "." and ".." (and names the system would read as them once trailing
    // blanks and dots go) would put the game's folder beside the group.
    size_t n = strlen(name);
    while (n > 0 && (name[n - 1] == ' ' || name[n - 1] == '.'))
        --n;
    return n > 0;
}

bool setStartMenuGroup(CZKInstaller& s, const char* name) {
    if (!isValidGroupName(name, s.m_startupFolderName))
        return false;
    copyText(s.m_startMenuGroup, name);
    composeStartMenuFolder(s.m_startMenuPath, s.m_startMenuGroup, s.m_productName,
                           s.m_startMenuFolder);
    return true;
}

bool hasScheme(const char* address) {
    if (!address || !isalpha(static_cast<unsigned char>(address[0])))
        return false;
    const char* p = address + 1;
    while (isalnum(static_cast<unsigned char>(*p)) || *p == '+' || *p == '-' || *p == '.')
        ++p;
    return strncmp(p, "://", 3) == 0;
}

void webAddress(const CZKInstaller& s, char* out, size_t cap) {
    if (!out || cap == 0)
        return;
    char address[sizeof s.m_webURL];
    copyText(address, s.m_webURL);
    if (s.m_supportFolder[0]) {
        char path[kText];
        formatText(path, sizeof path, "%s\\%s", s.m_supportFolder, "Localization.ini");
        CIniFile ini;
        ini.setPath(path);
        char localized[sizeof s.m_webURL];
        if (ini.loadWide() == 0) {
            ini.getText(s.m_languagePrefix, "WEBURL", localized, sizeof localized);
            trimText(localized);
            if (localized[0])
                copyText(address, localized);
        }
    }
    if (!address[0])
        out[0] = '\0';
    else if (hasScheme(address))  // https://, ftp://: an address of its own
        copyText(out, cap, address);
    else
        formatText(out, cap, "http://%s", address);  // cut to the field, never past it
}

} // namespace zk

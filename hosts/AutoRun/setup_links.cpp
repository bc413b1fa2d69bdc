// After the registry entries: the Start-menu group and the desktop shortcut,
// then the add-ons the disc configures (GameSpy Arcade, the download manager,
// the online component, the game's own installers).  Before the copy: the
// licence of the game's tools, where the disc has one.
#include <cstdio>
#include <cstring>

#include "ZKInstall.h"
#include "bounded.h"
#include "exitcodes.h"
#include "resource.h"
#include "setup.h"
#include "texts.h"

namespace autorun {

namespace {

// The group is the first folder below the Start-menu root in the game's
// Start-menu folder ("<root>\<group>\<product>").
std::string currentGroup() {
    char root[kPath] = {0}, folder[kPath] = {0};
    ZKINSTALL_getStartMenuRoot(root);
    ZKINSTALL_getStartMenuLocation(folder);
    std::string rest = folder;
    size_t rootLength = strlen(root);
    if (rootLength > 0 && rest.size() > rootLength && _strnicmp(folder, root, rootLength) == 0)
        rest = rest.substr(rootLength);
    while (!rest.empty() && rest[0] == '\\')
        rest.erase(0, 1);
    return rest.substr(0, rest.find('\\'));
}

std::string readTextFile(const std::string& path) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return "";
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0 && text.size() < (1u << 20))
        text.append(chunk, n);
    fclose(f);
    return text;
}

} // namespace

int Setup::chooseGroup() {
    std::string group = m_options.group.empty() ? currentGroup() : m_options.group;
    Checker checker = [this](std::string& g, std::string& why) {
        char name[kPath] = {0};
        copyText(name, g.c_str());
        if (ZKINSTALL_getIsValidZKStartMenuLocation(name))
            return true;
        why = hostText(IDS_GROUP_INVALID, {g});
        m_log.write("error: " + why);
        return false;
    };
    bool asked = false;
    if (!m_unattended && m_options.group.empty()) {
        Reply r = m_face.chooseGroup(group, checker);
        int code = follow(r);
        if (code != ExitInstalled)
            return code;
        asked = r == Reply::Answered;
    }
    std::string why;
    if (!asked && !checker(group, why)) {
        m_face.error(why);
        return ExitBadCommandLine;
    }
    char name[kPath] = {0};
    copyText(name, group.c_str());
    ZKINSTALL_setStartMenuLocation(name);
    m_log.write("Start-menu group: " + group);
    return ExitInstalled;
}

int Setup::createShortcuts() {
    // The library makes no shortcuts on Windows Vista and later (it names
    // them all "Window Vista"); say so rather than claim them.
    char os[kPath] = {0};
    ZKINSTALL_getOS(os);
    if (strcmp(os, "Window Vista") == 0) {
        ZKINSTALL_createStartMenuItems();  // still sets the web address
        m_log.write("no Start-menu entries or desktop shortcut on this Windows");
        return ExitInstalled;
    }
    ZKINSTALL_createStartMenuItems();
    char folder[kPath] = {0};
    ZKINSTALL_getStartMenuLocation(folder);
    m_log.write(std::string("Start-menu entries made in ") + folder);
    bool desktop = !m_options.noDesktopIcon;
    if (desktop && !m_unattended) {
        int code = askYesNo(Question::Desktop, hostText(IDS_DESKTOP_QUESTION), desktop);
        if (code != ExitInstalled)
            return code;
    }
    if (desktop) {
        ZKINSTALL_createDesktopItem();
        m_log.write("desktop shortcut made");
    }
    return ExitInstalled;
}

int Setup::acceptToolsLicence() {
    if (!ZKINSTALL_getDisplayToolsEULA())
        return ExitInstalled;
    if (m_unattended) {
        m_log.write("tools licence accepted: the run is unattended");
        return ExitInstalled;
    }
    char relative[kPath] = {0}, from[kPath] = {0};
    ZKINSTALL_getToolsEULAAgreement(relative);
    ZKINSTALL_getInstallFromLocation(from);
    std::string text = readTextFile(std::string(from) + "\\" + relative);
    if (!text.empty()) {
        m_face.showLicence(hostText(IDS_TOOLS_LICENCE), text);
    }
    bool yes = true;
    int code = askYesNo(Question::Licence, hostText(IDS_TOOLS_ACCEPT), yes);
    if (code != ExitInstalled || yes)
        return code;
    say(hostText(IDS_TOOLS_DECLINED));
    // Some games may be installed without their tools; others may not.
    if (ZKINSTALL_getToolsEULADeclineContinue())
        return ExitInstalled;
    m_userCancelled = true;
    return ExitCancelled;
}

int Setup::installAddOns() {
    struct AddOn {
        const char* name;
        bool (*required)();
        bool (*install)();
    };
    const AddOn addOns[] = {
        {"GameSpy Arcade", ZKINSTALL_isGameSpyInstallRequired, ZKINSTALL_installGameSpy},
        {"ZKD", ZKINSTALL_isZKDInstallRequired, ZKINSTALL_installZKD},
        {"ZKSO", ZKINSTALL_isCommonZKSOInstallRequired, ZKINSTALL_InstallCommonZKSO},
    };
    for (const AddOn& addOn : addOns) {
        if (!addOn.required())
            continue;
        bool yes = true;
        if (!m_unattended) {
            int code = askYesNo(Question::AddOn, hostText(IDS_ADDON_INSTALL, {addOn.name}), yes);
            if (code != ExitInstalled)
                return code;
        }
        if (!yes) {
            m_log.write(std::string(addOn.name) + " declined");
            continue;
        }
        addOn.install();
        m_log.write(std::string(addOn.name) + ": setup run");
    }
    // The game's own installers on the disc, if any, run after its files.
    ZKINSTALL_runGameInstallSpecificExe();
    return ExitInstalled;
}

} // namespace autorun

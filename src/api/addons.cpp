// The add-on exports: GameSpy Arcade, the download manager, the online
// component and the game's own installers, over the installer state.  The
// tools licence switches are read with the other settings (settings.cpp).
#include "components/addons.h"
#include "api/disc_request.h"
#include "core/installer.h"
#include "platform/text.h"

namespace zk {
namespace {

void installFrom(char (&root)[kText]) { copyInstallFrom(installer(), root, sizeof root); }

CZKAddons addons() {
    CZKAddons component(requestDiscForComponent);
    component.setDebug(installer().m_debug, installer().m_installerWindow);
    return component;
}

AddonFacts facts(const CZKInstaller& s, const char* root) {
    return {root, s.m_installFolder, s.m_startMenuFolder, s.m_tempPath, s.m_currentLanguage};
}

} // namespace
} // namespace zk

using namespace zk;

bool ZKINSTALL_isGameSpyInstallRequired() {
    if (!installer().m_gameSpyInstall)
        return false;
    char root[kText];
    installFrom(root);
    return addons().isGameSpyPresent(root);
}

bool ZKINSTALL_installGameSpy() {
    char root[kText];
    installFrom(root);
    addons().installGameSpy(root, installer().m_installFolder);
    return true;
}

bool ZKINSTALL_isZKDInstallRequired() {
    if (!installer().m_zkdInstall)
        return false;
    char root[kText];
    installFrom(root);
    return addons().isZKDPresent(root);
}

bool ZKINSTALL_installZKD() {
    char root[kText];
    installFrom(root);
    addons().installZKD(root);
    return true;
}

bool ZKINSTALL_launchZKD(char* path) {
    addons().launchZKD(path);
    return true;
}

bool ZKINSTALL_isCommonZKSOInstallRequired() { return installer().m_zksoInstall; }

bool ZKINSTALL_InstallCommonZKSO() {
    char root[kText];
    installFrom(root);
    addons().installCommonZKSO(facts(installer(), root));
    return true;
}

int ZKINSTALL_runGameInstallSpecificExe() {
    CZKInstaller& s = installer();
    s.m_debug = g_debugMode;
    char root[kText];
    installFrom(root);
    // Whether the installers agreed is the installer's own business: hosts
    // have always been told 0.
    addons().runGameInstallers(facts(s, root));
    return 0;
}

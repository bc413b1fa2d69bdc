// install_utility.h - CInstallUtility: the small utility object whose members
// write the install log, check discs and drives, write the game's registry
// entries and make shortcuts.  Its only state is a debug flag.
#ifndef ZK_CORE_INSTALL_UTILITY_H
#define ZK_CORE_INSTALL_UTILITY_H

#include "ZKInstall.h"

namespace zk {

class CZKInstaller;

class CInstallUtility {
  public:
    bool m_debug = false;
    void setDebugMode(bool debug) { m_debug = debug; }

    // Install log (src/install/filelist.cpp).
    void appendFileListEntry(int disc, int level, const char* path, const char* folder);

    // Discs and drives (src/install/discs.cpp).
    int requestCD(int wanted, const char* installFolder, char* installFrom, bool debug,
                  const char* productGUID);
    bool isWritableDrive(const char* path);
    float getFreeSpace(const char* path);

    // Paths (src/core/paths.cpp).
    // Drops the characters a file name may not hold (a drive's colon stays)
    // and trailing blanks; dest holds 260 bytes.
    void cleanPath(const char* src, char* dest);

    // Game registry entries (src/integration/game_registry.cpp).
    void writeGameRegistry(CZKInstaller& s);
    bool writeUninstallEntry(CZKInstaller& s);
    int readGameRegistry(CZKInstaller& s);
    void setInstalledFlag(CZKInstaller& s, bool installed);
    bool getInstalledFlag(CZKInstaller& s);
    void setRestartFlag(CZKInstaller& s, bool restarted);
    bool getRestartFlag(CZKInstaller& s);
    void setCacheSize(CZKInstaller& s, __int64 bytes);
    void setSwapSize(CZKInstaller& s, __int64 bytes);

    // Shortcuts (src/integration/shortcuts.cpp).
    bool createShellLink(const char* target, const char* link, const char* description,
                         const char* iconPath, int iconIndex, const char* folder,
                         const char* arguments);
    bool createInternetShortcut(const char* url, const char* file);
};

} // namespace zk

#endif

// flash.h - the Flash player: its installed version from the registry and the
// disc's Shockwave/Flash installer per language.
#ifndef ZK_COMPONENTS_FLASH_H
#define ZK_COMPONENTS_FLASH_H

#include "components/setup_disc.h"

namespace zk {

// The Flash player's Active Setup key, below HKEY_LOCAL_MACHINE.
extern const char* const kFlashKey;

class CZKFlash {
  public:
    explicit CZKFlash(SetupDiscRequest requestDisc = nullptr);

    // "k" for Korean, "j" for Japanese, else empty; always 0.
    int getLanguageSuffix(char* suffix, const char* displayName);
    // Asks for disc 1; true when the language's installer is on it.
    bool isInstallerPresent(const char* displayName, const char* discRoot);
    // "6.0.79.0" when the installer is on the disc, else "0.0.0.0".
    void getCDVersion(const char* displayName, const char* discRoot, char* version);
    // The installed version with full stops ("6.0.79.0"); without one the
    // output is not written.  Always true.
    bool getInstalledVersion(char* version);
    // Runs the installer silently when it is on the disc; always 0.
    int install(const char* displayName, const char* discRoot);

  private:
    void installerPath(const char* displayName, const char* root, char* folder, char* program);

    SetupDiscRequest m_requestDisc;
};

} // namespace zk

#endif

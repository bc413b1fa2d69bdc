// ie.h - Internet Explorer: the installed version from the registry, the
// version and setups the disc carries per language, and running them.
#ifndef ZK_COMPONENTS_IE_H
#define ZK_COMPONENTS_IE_H

#include "components/setup_disc.h"
#include "platform/text.h"

namespace zk {

// The key Internet Explorer keeps its version under, below HKEY_LOCAL_MACHINE.
extern const char* const kIEKey;
// Polls the IE setup gets before the installer leaves it running on its own.
const int kIESetupPolls = 10000;

class CZKIE {
  public:
    explicit CZKIE(SetupDiscRequest requestDisc = nullptr);

    void setDebug(bool debug);
    // The disc's IE version for every component; empty stores "6.0".
    static void setCDVersion(const char* version);
    // The disc's version as major and minor (minor times 1000); always 0.
    int getCDVersion(int* major, int* minor);
    // The installed version (minor times 1000) and, when text is not null, its
    // text; a missing key leaves 0 and 0 and the text unwritten.  Always 0.
    int getInstalledVersion(int* major, int* minor, char* text);
    // The IE folder code of a language's display name ("FR"), or empty.
    int getLanguageFolder(char* code, const char* displayName);
    // Asks for disc 1; true when the language's ie6setup.exe is on it.
    bool isInstallerPresent(const char* displayName, const char* discRoot);
    // Runs the language's IE setup.  A setup still running after its wait
    // ends the whole process (exit code 0), leaving the setup to finish.  -1.
    int install(const char* displayName, const char* discRoot);
    // Runs msxml3sp2Setup.exe from the language's folder; its exit code, or -1
    // when it is not there.  No disc is asked for.
    int installPatch(const char* displayName, const char* discRoot);

  private:
    void languageFolder(const char* displayName, const char* root, char* folder, size_t cap);

    bool m_debug = false;
    SetupDiscRequest m_requestDisc;
    static char s_cdVersion[kText];
};

// Reads "major.minor" as "%d.%d" does, each number 0 when it is not there, and
// gives the minor times 1000 (kept within int).
void readIEVersion(const char* text, int* major, int* minor);

} // namespace zk

#endif

// directx.h - the disc's DirectX setup library (dsetup.dll) and the DirectX
// installed on this machine: names such as "9.0c", the licence text, the setup run.
#ifndef ZK_COMPONENTS_DIRECTX_H
#define ZK_COMPONENTS_DIRECTX_H

#include <cstddef>

#include "ZKInstall.h"
#include "platform/text.h"

namespace zk {

// Relations between the disc's DirectX and the installed one (getVersions).
enum DirectXRelation {
    kDiscNewer = 1,  // also when the installed version could not be asked
    kDiscOlder = 2,  // also when no setup library is loaded
    kDiscSame = 3,
};

// Results of the setup library's DirectXSetupA that count as installed.
const int kSetupSuccess = 0;
const int kSetupSuccessRestart = 1;
// DSETUP_DXCORE | DSETUP_DDRAWDRV | DSETUP_DSOUNDDRV
const unsigned long kSetupDirectX = 0x10018;

// One loading of dsetup.dll from a folder.  Every user loads it, does one thing
// and unloads it; the library is never kept loaded between two exported calls.
class CZKDirectX {
  public:
    typedef int(__stdcall* SetupEntry)(HWND, char*, unsigned long);
    typedef int(__stdcall* VersionEntry)(unsigned long*, unsigned long*);
    typedef unsigned(__stdcall* EulaEntry)(char*, unsigned, unsigned short);

    CZKDirectX();
    ~CZKDirectX();
    CZKDirectX(const CZKDirectX&) = delete;
    CZKDirectX& operator=(const CZKDirectX&) = delete;

    // When on, findings are reported through the host's message box.
    void setDebug(bool debug) { m_debug = debug; }
    // The operating system's name (CZKSystem::getOS), for the XP rule of getVersions.
    void setOS(const char* os) { copyText(m_os, os); }

    // Loads "<folder>\dsetup.dll" by its full path and looks up its three entries.
    void load(const char* folder);
    void unload();
    bool isLoaded() const { return m_library != nullptr; }

    // The disc's DirectX name (from dsetup.dll's file version) and the installed
    // one, and their relation (DirectXRelation).  *status: 1 when the installed
    // version could be asked, 3 when not; untouched without a library, when only
    // discName is written ("0.0").  Both names take 260 bytes.
    int getVersions(const char* folder, int* status, char* discName, char* installedName);

    // Runs the DirectX setup from the loaded library's folder; true when
    // Windows must restart.  *installed (when given) tells whether it installed.
    bool install(const char* folder, bool* installed);

    // The licence text in the language of `languageIndex`, in a buffer that
    // freeEULA releases; 0 on success, -1 on failure.
    int getEULA(char** text, unsigned* size, int languageIndex);
    static int freeEULA(char** text);

    // The installed DirectX name (255 bytes at most): S_OK, or E_FAIL when no
    // method worked.  Needs no setup library.
    static HRESULT getInstalledVersion(char* name);

    // Replaces a setup library's file version text by its DirectX name, in
    // place: 0 named, -1 not in the table (named "<b>.<c>"), -2 too short.
    static int getVersionName(char* version, size_t cap = kText);

    // The Windows language identifier the setup library takes for a language
    // index; 0 for a language it has no licence text for.
    static unsigned short getLanguageId(int languageIndex);

  private:
    void report(const char* text, const char* caption) const;

    bool m_debug = false;
    HMODULE m_library = nullptr;
    SetupEntry m_setup = nullptr;
    VersionEntry m_version = nullptr;
    EulaEntry m_eula = nullptr;
    char m_folder[kText] = {};
    char m_os[kText] = {};
};

// An installed DirectX as the detectors report it.
struct DirectXVersion {
    int major = 0;
    int minor = 0;
    char letter = ' ';  // a space when there is none
};

// The DirectX diagnostic provider's answer; false when it cannot be asked.
// Initialises COM for the calling thread for the time of the call.
bool diagnosticDirectXVersion(DirectXVersion* version);
// The version told by the file versions of DirectX's system libraries in
// `systemFolder`; 0.0 when none of them tells.
DirectXVersion fileDirectXVersion(const char* systemFolder);
// "9.0c", or "8.1" without a letter; the letter in lower case.
void directXName(const DirectXVersion& version, char* out, size_t cap);

// A DirectX name as a number: a trailing lower-case letter adds (letter-'a'+1)/100,
// so "9.0c" is 9.03.  When the rest is not a number, *number keeps its value
// (and still gets the letter's part).
void directXNumber(const char* name, float* number);

} // namespace zk

#endif

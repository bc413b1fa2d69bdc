// settings.h - reads the disc's autorun.cfg into the installer state and
// derives the names, folders and language that follow from it.
#ifndef ZK_CORE_SETTINGS_H
#define ZK_CORE_SETTINGS_H

class CIniFile;

namespace zk {

class CZKInstaller;

// Behind ZKINSTALL_readSettings: disc 1, autorun.cfg, the install folder, the
// language's files and the search for an earlier installation.  Ends the
// process (exit code 0) when the user quits while disc 1 is asked for.
void readSettings(CZKInstaller& s);

// Finds disc 1 and reads its AutoRun\autorun.cfg into the state.
void readConfiguration(CZKInstaller& s);

// Everything readConfiguration takes from a loaded autorun.cfg, in the order
// the settings are read: "Registry", the keys, derived fields, languages and
// the language of an earlier installation.
void readConfigurationFrom(CZKInstaller& s, CIniFile& ini);

// "Registry" names the company (the text before a backslash that is not the
// first character) and the registry key path ("SOFTWARE\<value>").
void applyRegistrySetting(CZKInstaller& s, const char* value);

// The language an earlier installation stored under the registry key path
// (HKEY_CURRENT_USER first, then HKEY_LOCAL_MACHINE).  False when neither key
// opens; the state is then untouched.
bool readRegistryLanguage(CZKInstaller& s, CIniFile& ini);

// Disc 1 is there but autorun.cfg cannot be opened: asks Retry/Cancel, and
// after Cancel whether to quit.  False when the user confirmed quitting.
bool askToRetryConfiguration(const CZKInstaller& s, const char* path);

} // namespace zk

#endif

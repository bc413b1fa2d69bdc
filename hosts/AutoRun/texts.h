// texts.h - AutoRun's own texts: fetched by number in the installation's
// language, with numbered placeholders (%1 ... %9) that a translation may
// reorder and that never read arguments that are not there.
#ifndef AUTORUN_TEXTS_H
#define AUTORUN_TEXTS_H

#include <string>
#include <vector>

namespace autorun {

// Replaces %1 ... %9 with args[0] ... args[8] ("" when missing); "%%" is a
// percent sign; any other % stays as it is.
std::string fillText(const std::string& pattern, const std::vector<std::string>& args);

// Text `id` in the library's current language: AutoRunGUI.dll first, then
// AutoRun.exe's own table (through ZKINSTALL_getStringFromDLLorEXE).
std::string hostText(int id);
std::string hostText(int id, const std::vector<std::string>& args);

// One language as the library's table gives it.
struct LanguageEntry {
    int index;
    std::string name;
    std::string prefix;
};

// Finds `wanted` among `languages`: its number, its name or its prefix, any
// case, "-" and "_" alike in prefixes.  0 when nothing matches.
int findLanguage(const std::string& wanted, const std::vector<LanguageEntry>& languages);

} // namespace autorun

#endif

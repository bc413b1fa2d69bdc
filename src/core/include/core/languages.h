// languages.h - the fixed language table and the conversions around it.
#ifndef ZK_CORE_LANGUAGES_H
#define ZK_CORE_LANGUAGES_H

#include "ZKInstall.h"

namespace zk {

class CZKInstaller;

struct LanguageRow {
    char name[26];
    char prefix[10];
    unsigned short languageId;
    const char* localeName;  // null: the locale is left as it is
    const char* readme;
    const char* licence;
    const char* helpPage;
};

// Rows 0 to 25; index 0 is "no language".
extern LanguageRow g_languages[26];

// The row an index converts with: its own for 1 to 25, English UK otherwise.
const LanguageRow& languageRow(int index);
// Windows language id (low 16 bits) to a language index, or -1.
int languageIndexOf(unsigned long languageId);
// Sets the process locale (8-bit and wide) to the language's locale name.
void setProcessLocale(int index);
// Chooses the file names of a language and makes it current.
void applyLanguage(CZKInstaller& s, int index);
// Puts the README entry of the Support folder's Localization.ini for this
// prefix, trimmed, into readme; false (readme untouched) when there is none.
bool localizedReadme(const char* supportFolder, const char* prefix, char* readme, int size);
// Marks the language available, makes it current and chooses its files.
void forceLanguage(CZKInstaller& s, int index);
// Where the automatic choice lands (before falling back): index 1 to 25 or 0.
int chooseLanguage(const CZKInstaller& s, unsigned long userLanguageId);
// True when the disc offers at least one language.
bool anyLanguageAvailable(const CZKInstaller& s);
// The language's Windows language id into *lcid and *langid (either may be
// null), and the process locale set to the language's; always 0.
int convertLanguageToLocale(int index, unsigned long* lcid, unsigned short* langid);
// String `id` of a module's string table in the current language (then
// English UK, then Canada), converted to 8 bits into buffer; 0 when the
// table has no block for it.
unsigned short loadString(HINSTANCE module, unsigned int id, char* buffer, int size);
// Host text `id`: from AutoRunGUI.dll, else from the program; true only when
// the program's own table answered, as hosts have always been told.
bool loadHostString(int id, char* buffer, int size);

} // namespace zk

#endif

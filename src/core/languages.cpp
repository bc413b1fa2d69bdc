// The language table, conversions between it and Windows language ids, and the
// fetching of the host's message texts by number.
#include "core/languages.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "core/host.h"
#include "core/inifile.h"
#include "core/installer.h"
#include "platform/text.h"

namespace zk {

#define ZK_HELP "ZK_Help_Select.htm"
LanguageRow g_languages[26] = {
    {"Unknown", "", 0x0809, "English", nullptr, nullptr, nullptr},
    {"English US", "en-us", 0x1009, "usa", "readme.txt", "en-us_eula.txt",
     "Vantorel_Technical_Support.htm"},
    {"French", "fr-fr", 0x040C, "frb", "lisezmoi.txt", "fr-fr_eula.txt", ZK_HELP},
    {"German", "de", 0x0407, "deu", "readme.txt", "de_eula.txt", ZK_HELP},
    {"Italian", "it", 0x0410, "ita", "readme.txt", "it_eula.txt", ZK_HELP},
    {"Spanish", "es", 0x0C0A, "esp", "leeme.txt", "es_eula.txt", ZK_HELP},
    {"Swedish", "sv", 0x041D, "sve", "readme.txt", "sv_eula.txt", ZK_HELP},
    {"Finnish", "fi", 0x040B, "fin", "readme.txt", "fi_eula.txt", ZK_HELP},
    {"Dutch", "nl", 0x0413, "nlb", "readme.txt", "nl_eula.txt", ZK_HELP},
    {"Danish", "da", 0x0406, "dan", "readme.txt", "da_eula.txt", ZK_HELP},
    {"PortBrzl", "pt-br", 0x0416, "ptb", "readme.txt", "pt-br_eula.txt", ZK_HELP},
    {"Czech", "cs", 0x0405, "csy", "readme.txt", "cs_eula.txt", ZK_HELP},
    {"Hebrew", "he", 0x040D, nullptr, "readme.txt", "he_eula.txt", ZK_HELP},
    {"Greek", "el", 0x0408, "ell", "readme.txt", "el_eula.txt", ZK_HELP},
    {"Japanese", "ja", 0x0411, "jpn", "readme.txt", "ja_eula.txt", ZK_HELP},
    {"Korean", "ko", 0x0412, "kor", "readme.txt", "ko_eula.txt", ZK_HELP},
    {"Russian", "ru", 0x0419, "rus", "readme.txt", "ru_eula.txt", ZK_HELP},
    {"Chinese (Simplified)", "zh-cn", 0x0804, "chs", "readme.txt", "zh-cn_eula.txt", ZK_HELP},
    {"Chinese (Traditional)", "zh-tw", 0x0404, "cht", "readme.txt", "zh-tw_eula.txt", ZK_HELP},
    {"English UK", "en-uk", 0x0809, "English", "readme.txt", "en-uk_eula.txt", ZK_HELP},
    {"Polish", "pl", 0x0415, "plk", "readme.txt", "pl_eula.txt", ZK_HELP},
    {"Thai", "th", 0x041E, nullptr, "readme.txt", "th_eula.txt", ZK_HELP},
    {"Norwegian", "no", 0x0414, "non", "readme.txt", "no_eula.txt", ZK_HELP},
    {"Portuguese", "pt-pt", 0x0816, "prt", "readme.txt", "pt-pt_eula.txt", ZK_HELP},
    {"Hungarian", "hu", 0x040E, "hun", "readme.txt", "hu_eula.txt", ZK_HELP},
    {"Spanish (Mexican)", "es-mex", 0x080A, "mex", "leeme.txt", "es-mex_eula.txt", ZK_HELP},
};
#undef ZK_HELP

const LanguageRow& languageRow(int index) {
    return (index >= 1 && index <= 25) ? g_languages[index] : g_languages[19];
}

int languageIndexOf(unsigned long languageId) {
    unsigned primary = languageId & 0x3FF;
    unsigned sub = (languageId & 0xFFFF) >> 10;
    switch (primary) {
    case 0x04: return sub == 1 ? 18 : 17;
    case 0x05: return 11;
    case 0x06: return 9;
    case 0x07: return 3;
    case 0x08: return 13;
    case 0x09: return sub == 2 ? 19 : 1;
    case 0x0A: return sub == 2 ? 25 : 5;
    case 0x0B: return 7;
    case 0x0C: return 2;
    case 0x0D: return 12;
    case 0x0E: return 24;
    case 0x10: return 4;
    case 0x11: return 14;
    case 0x12: return 15;
    case 0x13: return 8;
    case 0x14: return 22;
    case 0x15: return 20;
    case 0x16: return sub == 1 ? 10 : 23;
    case 0x19: return 16;
    case 0x1D: return 6;
    case 0x1E: return 21;
    default: return -1;
    }
}

void setProcessLocale(int index) {
    const LanguageRow& row = languageRow(index);
    if (!row.localeName)
        return;
    setlocale(LC_ALL, row.localeName);
    wchar_t wide[32];
    mbstowcs(wide, row.localeName, 31);
    wide[31] = L'\0';
    _wsetlocale(LC_ALL, wide);
}

void applyLanguage(CZKInstaller& s, int index) {
    if (index < 1 || index > 25)
        index = s.m_northAmerica ? 1 : 19;
    const LanguageRow& row = g_languages[index];
    s.m_currentLanguage = index;
    copyText(s.m_readmeFile, row.readme);
    copyText(s.m_licenceFile, row.licence);
    copyText(s.m_helpFile, row.helpPage);
    copyText(s.m_languagePrefix, row.prefix);
    localizedReadme(s.m_supportFolder, s.m_languagePrefix, s.m_readmeFile, kText);
    copyText(s.m_prefixUnderscores, s.m_languagePrefix);
    for (char* p = s.m_prefixUnderscores; *p; ++p)
        if (*p == '-')
            *p = '_';
}

bool localizedReadme(const char* supportFolder, const char* prefix, char* readme, int size) {
    // Before ZKINSTALL_init the disc is not known yet; an empty folder would
    // turn the path into the root of whatever drive is current.
    if (!supportFolder || !*supportFolder)
        return false;
    char path[kText];
    formatText(path, sizeof path, "%s\\%s", supportFolder, "Localization.ini");
    CIniFile ini;
    ini.setPath(path);
    if (ini.loadWide() != 0)
        return false;
    char name[kText];
    ini.getText("README", prefix, name, sizeof name);
    trimText(name);
    if (!*name)
        return false;
    copyText(readme, size, name);
    return true;
}

void forceLanguage(CZKInstaller& s, int index) {
    if (index >= 0 && index < kLanguageCount)
        s.m_availableLanguages[index] = true;
    applyLanguage(s, index);
}

void detectLoadTimeLanguage(CZKInstaller& s) {
    int index = languageIndexOf(GetUserDefaultLangID());
    if (index < 1)
        index = CZKSystem::m_isNorthAmerica ? 1 : 19;
    forceLanguage(s, index);
}

bool anyLanguageAvailable(const CZKInstaller& s) {
    for (int i = 1; i <= 25; ++i)
        if (s.m_availableLanguages[i])
            return true;
    return false;
}

int chooseLanguage(const CZKInstaller& s, unsigned long userLanguageId) {
    int count = 0, first = 0;
    for (int i = 1; i <= 25; ++i) {
        if (s.m_availableLanguages[i]) {
            if (count++ == 0)
                first = i;
        }
    }
    if (count <= 1)
        return first;
    // Several on the disc: the user's own language if it is one of them,
    // otherwise nothing, and the host lets the user choose.
    int user = languageIndexOf(userLanguageId);
    return (user >= 1 && s.m_availableLanguages[user]) ? user : 0;
}

// Converts `len` 16-bit characters into exactly `size` bytes of buffer: the
// text, zero-filled behind; a text of `size` bytes or more is cut there and
// left unterminated, as callers of the exported getter expect.
static void toAnsiBounded(const wchar_t* text, int len, char* buffer, int size) {
    memset(buffer, 0, size);
    int needed = WideCharToMultiByte(CP_ACP, 0, text, len, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return;
    if (needed <= size) {
        WideCharToMultiByte(CP_ACP, 0, text, len, buffer, size, nullptr, nullptr);
        return;
    }
    std::string whole(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, len, &whole[0], needed, nullptr, nullptr);
    memcpy(buffer, whole.data(), size);
}

int convertLanguageToLocale(int index, unsigned long* lcid, unsigned short* langid) {
    unsigned short id = languageRow(index).languageId;
    if (lcid)
        *lcid = id;
    if (langid)
        *langid = id;
    setProcessLocale(index);
    return 0;
}

unsigned short loadString(HINSTANCE module, unsigned int id, char* buffer, int size) {
    unsigned block = id / 16 + 1;
    unsigned entry = id % 16;
    // String ids are 16-bit; a larger one must not wrap onto another block.
    if (block > 0xFFFF)
        return 0;
    unsigned long lcid = 0;
    unsigned short langid = 0;
    convertLanguageToLocale(installer().m_currentLanguage, &lcid, &langid);
    if (langid == 0)
        langid = 1;
    HRSRC res = nullptr;
    const WORD tries[] = {langid, 0x0809, 0x1009};
    for (WORD lang : tries) {
        res = FindResourceExA(module, RT_STRING, MAKEINTRESOURCEA(block), lang);
        if (res)
            break;
    }
    if (!res)
        return 0;
    HGLOBAL loaded = LoadResource(module, res);
    const WORD* p = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (!p)
        return 0;
    // The block is 16 counted strings of 16-bit characters; never walk past it.
    const WORD* end = p + SizeofResource(module, res) / sizeof(WORD);
    for (unsigned i = 0; i < 16 && p < end; ++i) {
        WORD len = *p++;
        if (len > end - p)
            len = static_cast<WORD>(end - p);
        if (i == entry) {
            if (len != 0 && buffer && size > 0)
                toAnsiBounded(reinterpret_cast<const wchar_t*>(p), len, buffer, size);
            break;
        }
        p += len;
    }
    return 1;
}

bool loadHostString(int id, char* buffer, int size) {
    static bool s_first = true;
    static HMODULE s_exe = nullptr;
    static HMODULE s_gui = nullptr;
    if (s_first) {
        s_first = false;
        s_exe = GetModuleHandleA(nullptr);
        s_gui = GetModuleHandleA("AutoRunGUI.DLL");
    }
    if (s_gui && loadString(s_gui, id, buffer, size))
        return false;
    if (s_exe && loadString(s_exe, id, buffer, size))
        return true;
    if (buffer && size > 0)
        formatText(buffer, size, "Can't get string id %d", id);
    return false;
}

} // namespace zk

// The exports of the language table and the host's localized texts.
#include <cstring>

#include "core/host.h"
#include "core/installer.h"
#include "core/languages.h"

using namespace zk;

char* ZKINSTALL_getLanguageIndexName(int index) {
    return (index >= 0 && index <= 25) ? g_languages[index].name : nullptr;
}

char* ZKINSTALL_getLanguageIndexPrefix(int index) {
    return (index >= 0 && index <= 25) ? g_languages[index].prefix : nullptr;
}

bool* ZKINSTALL_getAvailableLanguages() { return installer().m_availableLanguages; }

int ZKINSTALL_convertLanguageToLocale(int index, unsigned long* lcid, unsigned short* langid) {
    return convertLanguageToLocale(index, lcid, langid);
}

int ZKINSTALL_convertLocaleToLanguageIndex(unsigned long langid) { return languageIndexOf(langid); }

bool ZKINSTALL_forceLanguage(int index) {
    forceLanguage(installer(), index);
    convertLanguageToLocale(installer().m_currentLanguage, nullptr, nullptr);
    return true;
}

bool ZKINSTALL_setLanguage(int index) { return ZKINSTALL_forceLanguage(index); }

bool ZKINSTALL_autoSelectLanguage(int* index, char* prefix) {
    CZKInstaller& s = installer();
    bool chosen = true;
    if (!s.m_previouslyInstalled) {
        int choice = chooseLanguage(s, GetUserDefaultLangID());
        if (choice == 0 && !anyLanguageAvailable(s))
            showMessage(s.m_installerWindow, "No Languages Selected!", "Corrupted AutoRun.CFG File",
                        0);
        ZKINSTALL_setLanguage(choice);
        chosen = !s.m_languageSelectionScreen && choice != 0;
    } else {
        convertLanguageToLocale(s.m_currentLanguage, nullptr, nullptr);
    }
    if (index)
        *index = s.m_currentLanguage;
    if (prefix)
        copyText(prefix, kText, languageRow(s.m_currentLanguage).prefix);
    return chosen;
}

int ZKINSTALL_getCurrentlySelectedLanguage(char* prefix) {
    int current = installer().m_currentLanguage;
    if (prefix)
        copyText(prefix, kText, languageRow(current).prefix);
    return current;
}

bool ZKINSTALL_getLanguagePrefix(char* prefix) {
    copyText(prefix, kText, installer().m_languagePrefix);
    return true;
}

void ZKINSTALL_getLocalizedReadmeFilename(char* name) {
    copyText(name, kText, installer().m_readmeFile);
}

void ZKINSTALL_getLocalizedTechSupportFilename(char* name) {
    copyText(name, kText, installer().m_helpFile);
}

bool ZKINSTALL_getToolsEULAAgreement(char* path) {
    formatText(path, kText, "Support\\%s_tools_eula.txt", installer().m_languagePrefix);
    return true;
}

unsigned short ZKINSTALL_getString(HINSTANCE module, unsigned int id, char* buffer, int size) {
    return loadString(module, id, buffer, size);
}

bool ZKINSTALL_getStringFromDLLorEXE(int id, char* buffer, int size) {
    return loadHostString(id, buffer, size);
}

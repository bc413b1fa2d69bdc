// Setup's choices before the copy: language, installation type, install
// folder (checked by the library) and the final confirmation.
#include "setup.h"

#include <cstdlib>

#include "ZKInstall.h"
#include "bounded.h"
#include "exitcodes.h"
#include "progress.h"
#include "resource.h"
#include "texts.h"

namespace autorun {

namespace {


const int kTypeTexts[] = {IDS_TYPE_MINIMUM, IDS_TYPE_SATISFACTORY, IDS_TYPE_FULL,
                          IDS_TYPE_NOSTREAMING};

} // namespace

int Setup::chooseLanguage() {
    const bool* available = ZKINSTALL_getAvailableLanguages();
    std::vector<LanguageEntry> all, offered;
    for (int i = 1; i <= 25; ++i) {
        const char* name = ZKINSTALL_getLanguageIndexName(i);
        const char* prefix = ZKINSTALL_getLanguageIndexPrefix(i);
        LanguageEntry e{i, name ? name : "", prefix ? prefix : ""};
        all.push_back(e);
        if (available && available[i])
            offered.push_back(e);
    }
    std::string offeredNames;
    for (const LanguageEntry& l : offered)
        offeredNames += (offeredNames.empty() ? "" : ", ") + l.name + " (" + l.prefix + ")";

    int choice = 0;
    if (!m_options.language.empty()) {
        choice = findLanguage(m_options.language, all);
        if (choice == 0 || !available || !available[choice]) {
            complain("the language \"" + m_options.language + "\" is not on this disc; it offers " +
                     (offeredNames.empty() ? std::string("none") : offeredNames));
            return ExitBadCommandLine;
        }
    } else {
        int index = 0;
        char prefix[kPath] = {0};
        bool settled = ZKINSTALL_autoSelectLanguage(&index, prefix);
        if (settled && !m_unattended && offered.size() > 1) {
            choice = index;
            int code = follow(m_face.chooseLanguage(offered, choice, true));
            if (code != ExitInstalled)
                return code;
        } else if (settled) {
            choice = index;
        } else if (!offered.empty()) {
            // The disc leaves the choice to the user: the language the library
            // settled on when the disc offers it, else the first one it offers.
            int suggestion = offered[0].index;
            for (const LanguageEntry& l : offered)
                if (l.index == index)
                    suggestion = index;
            choice = suggestion;
            if (!m_unattended && offered.size() > 1) {
                int code = follow(m_face.chooseLanguage(offered, choice, false));
                if (code != ExitInstalled)
                    return code;
            }
        } else {
            choice = index;  // nothing offered: the library's English fallback
        }
    }
    if (choice >= 1 && choice <= 25)
        ZKINSTALL_setLanguage(choice);
    char prefix[kPath] = {0};
    m_language = ZKINSTALL_getCurrentlySelectedLanguage(prefix);
    const char* name = ZKINSTALL_getLanguageIndexName(m_language);
    note("language: " + std::string(name ? name : "?") + " (" + prefix + ")");
    return ExitInstalled;
}

int Setup::chooseType() {
    // Full without streaming only means something for a game that streams.
    int last = ZKINSTALL_getGameHasStreaming() ? 4 : 3;
    m_type = m_options.installType != 0 ? m_options.installType : 3;
    if (m_options.installType > last) {
        complain("this game has no installation type \"nostreaming\"");
        return ExitBadCommandLine;
    }
    if (!m_unattended && m_options.installType == 0) {
        std::vector<TypeEntry> types;
        for (int t = 1; t <= last; ++t)
            types.push_back({t, hostText(kTypeTexts[t - 1]), ZKINSTALL_getInstallSize(t)});
        std::string folder =
            m_options.destination.empty() ? suggestedFolder() : m_options.destination;
        int code = follow(m_face.chooseType(types, m_type, folder));
        if (code != ExitInstalled)
            return code;
    }
    m_expected = ZKINSTALL_getInstallSize(m_type);
    note("installation type " + std::to_string(m_type) + " (" + hostText(kTypeTexts[m_type - 1]) +
         "), " + std::to_string(m_expected) + " bytes");
    return ExitInstalled;
}

int Setup::checkDestination(std::string& folder, std::string& why) {
    folder = trim(folder);
    // "C:\Games\X\" means the folder C:\Games\X; the library keeps folders
    // without a trailing backslash.
    if (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    if (folder.size() >= kPath) {
        why = hostText(IDS_FOLDER_TOO_LONG);
        return ExitBadDestination;
    }
    char path[kPath];
    copyText(path, folder.c_str());
    switch (ZKINSTALL_getIsValidZKPath(path)) {
    case PathValid: break;
    case PathProtected: why = hostText(IDS_FOLDER_PROTECTED); return ExitBadDestination;
    case PathTooLong: why = hostText(IDS_FOLDER_TOO_LONG); return ExitBadDestination;
    case PathBadCharacter: why = hostText(IDS_FOLDER_BAD_CHAR); return ExitBadDestination;
    default: why = hostText(IDS_FOLDER_MALFORMED); return ExitBadDestination;
    }
    if (!ZKINSTALL_getIsValidDrive(path)) {
        why = hostText(IDS_FOLDER_BAD_DRIVE);
        return ExitBadDestination;
    }
    if (!ZKINSTALL_getIsSufficentSpace(path, m_expected)) {
        why = hostText(IDS_FOLDER_NO_SPACE, {formatBytes(m_expected)});
        return ExitInsufficientSpace;
    }
    return ExitInstalled;
}

std::string Setup::suggestedFolder() {
    char text[kPath] = {0};
    ZKINSTALL_getGameCacheLocation(text);
    // An earlier installation's folder comes back in its short (8.3) form;
    // show and keep the name the user knows.
    char longName[kPath] = {0};
    DWORD n = GetLongPathNameA(text, longName, sizeof longName);
    return n > 0 && n < sizeof longName ? std::string(longName) : std::string(text);
}

int Setup::chooseDestination() {
    std::string suggestion = suggestedFolder();
    if (ZKINSTALL_getWasGamePreviouslyInstalled())
        note(hostText(IDS_PREVIOUS_INSTALL, {suggestion}));

    std::string folder = m_options.destination.empty() ? suggestion : m_options.destination;
    bool asked = false;
    if (!m_unattended && m_options.destination.empty()) {
        // The face shows each problem where the folder is typed; the log
        // keeps it too.
        Checker checker = [this](std::string& f, std::string& why) {
            if (checkDestination(f, why) == ExitInstalled)
                return true;
            why = f + ": " + why;
            m_log.write("error: " + why);
            return false;
        };
        Reply r = m_face.chooseFolder(folder, checker);
        int code = follow(r);
        if (code != ExitInstalled)
            return code;
        asked = r == Reply::Answered;
    }
    if (!asked) {
        std::string why;
        int code = checkDestination(folder, why);
        if (code != ExitInstalled) {
            complain(folder + ": " + why);
            return code;
        }
    }
    m_destination = folder;
    char path[kPath];
    copyText(path, folder.c_str());
    ZKINSTALL_setGameCacheLocation(path);
    note("install folder: " + folder);
    return ExitInstalled;
}

int Setup::confirm() {
    if (m_unattended)
        return ExitInstalled;
    bool yes = true;
    int code = askYesNo(Question::Confirm, hostText(IDS_CONFIRM, {m_product, m_destination,
                                               hostText(kTypeTexts[m_type - 1]),
                                               formatBytes(m_expected)}),
                        yes);
    if (code == ExitInstalled && !yes) {
        m_userCancelled = true;
        return ExitCancelled;
    }
    return code;
}

} // namespace autorun

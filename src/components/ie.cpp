// CZKIE: the installed Internet Explorer, the disc's IE setup and its patch.
#include "components/ie.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "ZKInstall.h"
#include "core/prompts.h"
#include "platform/decimal.h"
#include "platform/regtext.h"

namespace zk {

const char* const kIEKey = "Software\\Microsoft\\Internet Explorer";

char CZKIE::s_cdVersion[kText] = "6.0";

namespace {

// Registry version values are read as at most 256 bytes.
const size_t kValueBytes = 257;

const struct {
    const char* name;
    const char* code;
} kFolderCodes[] = {
    {"English US", "EN"}, {"English UK", "EN"}, {"French", "FR"}, {"German", "DE"},
    {"Italian", "IT"}, {"Spanish", "ES"}, {"Spanish (Mexican)", "ES"}, {"Swedish", "SV"},
    {"Finnish", "FI"}, {"Dutch", "NL"}, {"Danish", "DA"}, {"Czech", "CS"},
    {"PortBrzl", "PT"}, {"Greek", "EL"}, {"Hebrew", "HE"}, {"Russian", "RU"},
    {"Korean", "KO"}, {"Japanese", "JA"}, {"Chinese (Simplified)", "ZH"},
    {"Chinese (Traditional)", "ZH"}, {"Hungarian", "HU"},
};

int clampToInt(long value, long low, long high) {
    return static_cast<int>(value < low ? low : value > high ? high : value);
}

// Versions known only by the "IVer" value of the oldest releases ("Build"
// refines 3.x); anything else stays 0.0.
void readOldVersion(const RegistryTextKey& key, int* major, int* minor) {
    char iver[kValueBytes];
    if (!key.readText("IVer", iver, sizeof iver))
        return;
    if (strcmp(iver, "100") == 0) {
        *major = 1;
    } else if (strcmp(iver, "101") == 0 || strcmp(iver, "102") == 0) {
        *major = 2;
    } else if (strcmp(iver, "103") == 0) {
        *major = 3;
        char build[kValueBytes];
        if (key.readText("Build", build, sizeof build)) {
            // Not times 1000 as elsewhere: so the state's "%d.%d" text says 3.10
            // while the user's text says 3.01, as hosts have always seen it.
            if (strcmp(build, "1215") == 0)
                *minor = 10;
            else if (strcmp(build, "1300") == 0)
                *minor = 20;
        }
    }
}

// Cuts the text at its second full stop: 6.0.2900.2180 becomes 6.0.
void cutAtSecondStop(char* text) {
    char* first = strchr(text, '.');
    char* second = first ? strchr(first + 1, '.') : nullptr;
    if (second)
        *second = '\0';
}

} // namespace

void readIEVersion(const char* text, int* major, int* minor) {
    // Both start at 0 so that a text without a minor (or without any number)
    // never leaves them as they happened to be.
    *major = 0;
    *minor = 0;
    if (!text)
        return;
    char* end = nullptr;
    long value = strtol(text, &end, 10);
    if (end == text)
        return;
    *major = clampToInt(value, INT_MIN, INT_MAX);
    if (*end != '.')
        return;
    const char* next = end + 1;
    value = strtol(next, &end, 10);
    if (end == next)
        return;
    *minor = clampToInt(value, INT_MIN / 1000, INT_MAX / 1000) * 1000;
}

CZKIE::CZKIE(SetupDiscRequest requestDisc) : m_requestDisc(requestDisc) {}

void CZKIE::setDebug(bool debug) { m_debug = debug; }

void CZKIE::setCDVersion(const char* version) {
    copyText(s_cdVersion, version && version[0] ? version : "6.0");
}

int CZKIE::getCDVersion(int* major, int* minor) {
    int a = 0, b = 0;
    readIEVersion(s_cdVersion, &a, &b);
    if (major)
        *major = a;
    if (minor)
        *minor = b;
    return 0;
}

int CZKIE::getInstalledVersion(int* major, int* minor, char* text) {
    int a = 0, b = 0;
    RegistryTextKey key(HKEY_LOCAL_MACHINE, kIEKey);
    if (key.isOpen()) {
        // Read whole and terminated, strings only: other programs write this key.
        char value[kValueBytes];
        if (key.readText("Version", value, sizeof value)) {
            readIEVersion(value, &a, &b);
            if (text) {
                copyText(text, kText, value);
                cutAtSecondStop(text);
            }
        } else {
            readOldVersion(key, &a, &b);
            if (text)
                formatDecimal(text, kText, static_cast<float>(a) + static_cast<float>(b) / 1000);
        }
    }
    if (major)
        *major = a;
    if (minor)
        *minor = b;
    return 0;
}

int CZKIE::getLanguageFolder(char* code, const char* displayName) {
    const char* found = "";
    for (const auto& row : kFolderCodes)
        if (displayName && strcmp(displayName, row.name) == 0)
            found = row.code;
    copyText(code, kText, found);
    return 0;
}

// The IE folder of the disc, or the language's folder below it.
void CZKIE::languageFolder(const char* displayName, const char* root, char* folder, size_t cap) {
    char code[kText];
    getLanguageFolder(code, displayName);
    if (code[0])
        formatText(folder, cap, "%s\\IE\\%s", root, code);
    else
        formatText(folder, cap, "%s\\IE", root);
}

bool CZKIE::isInstallerPresent(const char* displayName, const char* discRoot) {
    char root[kText], folder[kText], program[2 * kText];
    askForSetupDisc(m_requestDisc, discRoot, root, sizeof root);
    languageFolder(displayName, root, folder, sizeof folder);
    formatText(program, sizeof program, "%s\\ie6setup.exe", folder);
    CZKSystem system;
    return system.fileExists(program);
}

int CZKIE::install(const char* displayName, const char* discRoot) {
    CZKSystem system;
    system.setDebugMode(m_debug);
    char root[kText], folder[kText], program[2 * kText];
    askForSetupDisc(m_requestDisc, discRoot, root, sizeof root);
    languageFolder(displayName, root, folder, sizeof folder);
    formatText(program, sizeof program, "%s\\ie6setup.exe", folder);
    if (!system.fileExists(program))
        return -1;

    unsigned long result = system.execAndWait("ie6setup.exe", folder, "", kIESetupPolls, 1);
    if (result == STILL_ACTIVE) {
        // A setup still running was accepted and goes on by itself; the
        // installer steps out of its way rather than wait on.
        if (m_debug)
            DebugMessageBox(nullptr, "Exiting IE install quietly", "CZKIE::install", MB_OK);
        quitInstaller("the IE setup was still running");
    }
    // A setup that ends within the wait had its licence declined.
    if (m_debug)
        DebugMessageBox(nullptr, "EULA was rejected", "CZKIE::install", MB_OK);
    return -1;
}

int CZKIE::installPatch(const char* displayName, const char* discRoot) {
    char folder[kText], program[2 * kText];
    languageFolder(displayName, discRoot, folder, sizeof folder);
    formatText(program, sizeof program, "%s\\msxml3sp2Setup.exe", folder);
    CZKCopyFile files;
    if (!files.fileExists(program, m_debug))
        return -1;
    CZKSystem system;
    system.setDebugMode(m_debug);
    return static_cast<int>(system.execAndWait(program, folder, "", 0, 1));
}

} // namespace zk

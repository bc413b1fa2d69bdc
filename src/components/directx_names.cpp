// DirectX names: the setup libraries' file versions that have one, the names
// as numbers, and the language identifiers the setup library takes.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "components/directx.h"

namespace zk {

namespace {

struct NamedRelease {
    int a, b, c, d;
    const char* name;
};

// The setup library of each DirectX release.  4.6.2.436 shipped with 6.0.
const NamedRelease kReleases[] = {
    {4, 6, 2, 436, "6.0"}, {4, 7, 0, 716, "7.0a"}, {4, 8, 0, 400, "8.0"},
    {4, 8, 1, 881, "8.1"}, {4, 9, 0, 900, "9.0"},  {4, 9, 0, 901, "9.0a"},
    {4, 9, 0, 902, "9.0b"}, {4, 9, 0, 904, "9.0c"},
};

// Language identifiers by language index; the languages without a licence
// text of their own (Finnish, Danish, Hebrew, ...) stay 0.
const unsigned short kLanguageIds[] = {
    0,     // none
    9,     // English (US)
    12,    // French
    7,     // German
    16,    // Italian
    10,    // Spanish
    29,    // Swedish
    0,     // Finnish
    19,    // Dutch
    0,     // Danish
    22,    // Portuguese (Brazil)
    5,     // Czech
    0,     // Hebrew
    0,     // Greek
    17,    // Japanese
    18,    // Korean
    25,    // Russian
    2052,  // Chinese (Simplified)
    1028,  // Chinese (Traditional)
    9,     // English (UK)
    21,    // Polish
    0,     // Thai
    0,     // Norwegian
    0,     // Portuguese (Portugal)
    0,     // Hungarian
    10,    // Spanish (Mexico)
};

} // namespace

int CZKDirectX::getVersionName(char* version, size_t cap) {
    if (!version || cap == 0)
        return -2;
    if (strlen(version) < 8) {
        copyText(version, cap, "Unknown");
        return -2;
    }
    int a = 0, b = 0, c = 0, d = 0;
    sscanf(version, "%d.%d.%d.%d", &a, &b, &c, &d);
    for (const NamedRelease& r : kReleases) {
        if (r.a == a && r.b == b && r.c == c && r.d == d) {
            copyText(version, cap, r.name);
            return 0;
        }
    }
    formatText(version, cap, "%d.%d", b, c);
    return -1;
}

unsigned short CZKDirectX::getLanguageId(int languageIndex) {
    const int count = static_cast<int>(sizeof kLanguageIds / sizeof kLanguageIds[0]);
    return languageIndex >= 0 && languageIndex < count ? kLanguageIds[languageIndex] : 0;
}

void directXName(const DirectXVersion& version, char* out, size_t cap) {
    char letter = static_cast<char>(tolower(static_cast<unsigned char>(version.letter)));
    if (letter != ' ' && letter != '\0')
        formatText(out, cap, "%d.%d%c", version.major, version.minor, letter);
    else
        formatText(out, cap, "%d.%d", version.major, version.minor);
}

void directXNumber(const char* name, float* number) {
    if (!number)
        return;
    char text[kText];
    copyText(text, name);
    float fraction = 0.0f;
    size_t length = strlen(text);
    if (length > 0 && text[length - 1] >= 'a' && text[length - 1] <= 'z') {
        fraction = static_cast<float>(text[length - 1] - 'a' + 1) / 100.0f;
        text[length - 1] = '\0';
    }
    float value = 0.0f;
    if (sscanf(text, "%f", &value) == 1)
        *number = value;
    *number += fraction;
}

} // namespace zk

#include "texts.h"

#include <cctype>
#include <vector>

namespace zkuninstall {

namespace {

const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

std::wstring wide(const std::string& text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0)
        return L"";
    std::vector<wchar_t> out(n);
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return std::wstring(out.data(), n);
}

// A string table holds sixteen counted strings per block; false when this
// program carries no block of `id` in `language`.
bool loadText(UINT id, LANGID language, std::wstring& text) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(self, MAKEINTRESOURCEW(6) /* RT_STRING */,
                                  MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(self, found);
    const WCHAR* p = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!p)
        return false;
    const WCHAR* end = p + SizeofResource(self, found) / sizeof(WCHAR);
    for (UINT i = 0; i < id % 16 && p < end; ++i)
        p += 1 + *p;
    if (p >= end || *p == 0 || p + 1 + *p > end)
        return false;
    text.assign(p + 1, *p);
    return true;
}

} // namespace

LANGID tableLanguage(const std::string& locale) {
    std::string code = locale.substr(0, 2);
    for (char& c : code)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    WORD primary = PRIMARYLANGID(GetUserDefaultUILanguage());
    if (!locale.empty())
        primary = code == "de" ? LANG_GERMAN : code == "fr" ? LANG_FRENCH : LANG_ENGLISH;
    switch (primary) {
    case LANG_GERMAN: return MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
    case LANG_FRENCH: return MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);
    default: return kEnglish;
    }
}

std::wstring fillIn(const std::wstring& pattern, std::initializer_list<std::string> args) {
    std::wstring out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        size_t n = i + 1 < pattern.size() ? pattern[i + 1] - L'1' : args.size();
        if (pattern[i] == L'%' && n < args.size()) {
            out += wide(*(args.begin() + n));
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::wstring Texts::text(UINT id, std::initializer_list<std::string> args) const {
    std::wstring pattern;
    if (!loadText(id, m_language, pattern) && !loadText(id, kEnglish, pattern))
        pattern = L"?";
    return fillIn(pattern, args);
}

} // namespace zkuninstall

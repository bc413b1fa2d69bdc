#include "texts.h"

#include <cctype>
#include <cstdlib>

namespace autorun {

std::string fillText(const std::string& pattern, const std::vector<std::string>& args) {
    std::string out;
    out.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            char next = pattern[i + 1];
            if (next >= '1' && next <= '9') {
                size_t n = static_cast<size_t>(next - '1');
                if (n < args.size())
                    out += args[n];
                ++i;
                continue;
            }
            if (next == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

namespace {

std::string folded(const std::string& text) {
    std::string out;
    for (char c : text) {
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        out += c == '_' ? '-' : c;
    }
    return out;
}

} // namespace

int findLanguage(const std::string& wanted, const std::vector<LanguageEntry>& languages) {
    if (wanted.empty())
        return 0;
    bool digits = true;
    for (char c : wanted)
        digits = digits && isdigit(static_cast<unsigned char>(c));
    if (digits && wanted.size() <= 3) {
        int n = atoi(wanted.c_str());
        for (const LanguageEntry& l : languages)
            if (l.index == n)
                return n;
        return 0;
    }
    std::string want = folded(wanted);
    for (const LanguageEntry& l : languages)
        if (folded(l.name) == want || (!l.prefix.empty() && folded(l.prefix) == want))
            return l.index;
    return 0;
}

} // namespace autorun

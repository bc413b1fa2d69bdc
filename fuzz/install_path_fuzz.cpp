// Install-folder rules and the label helpers: the verdict is read from exact-
// size strings (so a read past the end is caught) and matches the rules as
// stated on whole strings; labels stay within their size.
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

#include "core/path_rules.h"
#include "fuzz_input.h"

namespace {

// Between the fields of an input.
const char kSeparator = '\n';

// Exactly length + 1 characters on the heap, one per byte.
std::unique_ptr<wchar_t[]> widen(const std::string& text, bool lower) {
    std::unique_ptr<wchar_t[]> out(new wchar_t[text.size() + 1]);
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = static_cast<unsigned char>(text[i]);
        out[i] = lower && c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c;
    }
    out[text.size()] = L'\0';
    return out;
}

int expectedVerdict(const std::string& path, const std::string& lower, const std::string& windows,
                    const std::string& profiles) {
    bool forbidden = path.find_first_of("\"/*?<>|") != std::string::npos;
    size_t backslashes = 0;
    for (char c : path)
        backslashes += c == '\\';
    if (backslashes > 27)
        return zk::kPathMalformed;
    if (forbidden)
        return zk::kPathBadCharacter;
    size_t colon = path.find(':');
    bool shape = path.size() > 3 && colon == 1 && path[2] == '\\' &&
                 path.find(':', 2) == std::string::npos &&
                 path.find("\\\\") == std::string::npos && path.back() != '\\' &&
                 path.back() != '.';
    if (!shape)
        return zk::kPathMalformed;
    if (path.size() >= 128)
        return zk::kPathTooLong;
    if ((!windows.empty() && lower.compare(0, windows.size(), windows) == 0) ||
        (!profiles.empty() && lower.compare(0, profiles.size(), profiles) == 0))
        return zk::kPathProtected;
    return zk::kPathValid;
}

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void checkVerdict(const std::string& path, const std::string& windowsFolder,
                  const std::string& profilesFolder) {
    auto wide = widen(path, false);
    auto lower = widen(path, true);
    auto windows = widen(windowsFolder, true);
    auto profiles = widen(profilesFolder, true);
    int verdict = zk::judgeInstallPath(wide.get(), lower.get(), windows.get(), profiles.get());
    require(verdict == expectedVerdict(path, lowerAscii(path), lowerAscii(windowsFolder),
                                       lowerAscii(profilesFolder)),
            "the verdict follows the install-folder rules");
    require(zk::hasForbiddenPathCharacter(wide.get()) ==
                (path.find_first_of("\"/*?<>|") != std::string::npos),
            "forbidden characters are found");
}

void checkSqueeze(const std::string& path, int maxLength) {
    size_t limit = maxLength < 0 ? 0 : static_cast<size_t>(maxLength);
    std::string out(limit + 9, '#');
    zk::squeezePath(path.c_str(), &out[0], maxLength);
    for (size_t i = limit + 1; i < out.size(); ++i)
        require(out[i] == '#', "a squeezed path stays within maxLength + 1 bytes");
    require(memchr(out.data(), '\0', limit + 1) != nullptr, "a squeezed path is terminated");
    std::string shown = out.c_str();
    if (path.size() <= limit) {
        require(shown == path, "a path that fits is shown whole");
        return;
    }
    // Without a file name to keep, the path is only cut.
    size_t lastSlash = path.rfind('\\');
    size_t dots = shown.rfind("\\...\\");
    if (lastSlash == std::string::npos || lastSlash + 1 == path.size() || dots == std::string::npos)
        return;
    std::string file = path.substr(lastSlash + 1);
    require(shown.compare(0, dots, path, 0, dots) == 0 && path[dots] == '\\',
            "a squeezed path starts with the path's folders");
    require(shown.substr(dots + 5) == file, "a squeezed path ends with the file name");
}

void checkFriendlyLabel(const std::string& text, size_t cap) {
    std::string out(cap + 8, '#');
    zk::mfcFriendly(&out[0], text.c_str(), cap);
    for (size_t i = cap; i < out.size(); ++i)
        require(out[i] == '#', "a label stays within its size");
    require(memchr(out.data(), '\0', cap) != nullptr, "a label is terminated");
    std::string label = out.c_str();
    std::string plain;
    for (size_t i = 0; i < label.size(); ++i) {
        plain.push_back(label[i]);
        if (label[i] == '&') {
            require(i + 1 < label.size() && label[i + 1] == '&', "every & of a label is doubled");
            ++i;
        }
    }
    const char* blanks = " \t\r\n\v\f";
    size_t begin = text.find_first_not_of(blanks);
    std::string trimmed =
        begin == std::string::npos ? "" : text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
    require(trimmed.compare(0, plain.size(), plain) == 0, "a label is the trimmed text, cut");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    int maxLength = in.number(-4, 300);
    size_t cap = static_cast<size_t>(in.number(1, 300));
    std::string path = in.text(kSeparator).c_str();
    std::string windows = in.text(kSeparator).c_str();
    std::string profiles = in.text(kSeparator).c_str();
    checkVerdict(path, windows, profiles);
    checkSqueeze(path, maxLength);
    checkFriendlyLabel(path, cap);
    return 0;
}

// Profile files: the 8-bit and the wide parser against a line-by-line model
// of the format (every key=value line present is found, the first of equal
// keys wins), numbers against strtoll, and bounded text getters.
#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/inifile.h"
#include "fuzz_input.h"

namespace {

// Longer lines come in several reads; the model leaves them out.
const size_t kModelLine = 1000;

typedef std::map<std::pair<std::string, std::string>, std::string> Values;

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The wide parser's text in 8 bits: ASCII kept, anything else "?".
std::string toAscii(const char16_t* text, size_t length) {
    std::string out;
    for (size_t i = 0; i < length; ++i)
        out.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
    return out;
}

// The first value of every (lower-case section, key) as a plain reading of
// the lines gives it; false for text the model leaves out.  `wide`: the text
// follows a byte-order mark and "Group" sections keep their names.
bool model(const std::string& text, bool wide, Values* values) {
    if (text.find('\0') != std::string::npos)
        return false;
    if (!wide && text.find('\x1A') != std::string::npos)
        return false;
    std::vector<std::string> sections;
    const int kPending = -2, kSkipping = -1;
    int current = kPending;
    int groups = 0;
    auto enter = [&](const std::string& name) {
        std::string lower = lowerAscii(name);
        for (size_t i = 0; i < sections.size(); ++i)
            if (sections[i] == lower)
                return static_cast<int>(i);
        if (sections.size() >= CIniFile::kMaxSections)
            return kSkipping;
        sections.push_back(lower);
        return static_cast<int>(sections.size() - 1);
    };
    bool first = true;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.size() >= kModelLine)
            return false;
        line = line.substr(0, line.find('\r'));
        bool isFirst = first;
        first = false;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            std::string name = line.substr(1, line.size() - 2);
            if (!wide && name.find("Group") != std::string::npos) {
                char numbered[32];
                snprintf(numbered, sizeof numbered, "Group %04d", groups++);
                name = numbered;
            }
            current = enter(name);
            continue;
        }
        if (wide && isFirst)
            line = "?" + line;  // the byte-order mark in front of a first key
        if (line.empty() || line.compare(0, 2, "//") == 0)
            continue;
        if (current == kPending)
            current = enter("");
        if (current == kSkipping)
            continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0)
            continue;
        values->emplace(std::make_pair(sections[current], line.substr(0, eq)),
                        line.substr(eq + 1));
    }
    return true;
}

long long clamped(const std::string& value, long long low, long long high) {
    long long n = strtoll(value.c_str(), nullptr, 10);
    return n < low ? low : n > high ? high : n;
}

void checkValue(CIniFile& ini, const char* section, const char* key, const std::string& value) {
    std::string out = "sentinel";
    ini.getString(section, key, out);
    require(out == value, "a key=value line of the input is found with its value");

    for (size_t cap : {size_t(1), size_t(7), size_t(260)}) {
        char buf[268];
        memset(buf, '#', sizeof buf);
        ini.getText(section, key, buf, cap);
        require(memchr(buf, '\0', cap) != nullptr, "getText terminates within its size");
        require(std::string(buf) == value.substr(0, cap - 1), "getText gives the value, cut");
        for (size_t i = cap; i < sizeof buf; ++i)
            require(buf[i] == '#', "getText writes nothing beyond its size");
    }

    int n = 99;
    long long n64 = 99;
    bool flag = false;
    ini.getInt(section, key, &n);
    ini.getInt64(section, key, &n64);
    ini.getBool(section, key, &flag);
    require(n == clamped(value, INT_MIN, INT_MAX), "getInt is strtoll held to int");
    require(n64 == clamped(value, LLONG_MIN, LLONG_MAX), "getInt64 is strtoll");
    require(flag == (n != 0), "getBool is getInt != 0");
}

void checkAll(CIniFile& ini, const Values& values) {
    for (const auto& entry : values) {
        const char* section = entry.first.first.c_str();
        checkValue(ini, section, entry.first.second.c_str(), entry.second);
        // No key holds a line break, so this one is missing: "" and 0.
        checkValue(ini, section, "\n", "");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CIniFile ini;

    ini.loadText(text.data(), text.size());
    Values values;
    if (model(text, false, &values))
        checkAll(ini, values);

    // The same text as UTF-16LE after a byte-order mark, one character per byte.
    std::string wide = "\xFF\xFE";
    std::string ascii;
    for (unsigned char c : text) {
        wide.push_back(static_cast<char>(c));
        wide.push_back('\0');
        ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    ini.loadWideText(wide.data(), wide.size(), toAscii);
    values.clear();
    if (model(ascii, true, &values))
        checkAll(ini, values);

    // The raw bytes as UTF-16LE: odd sizes, surrogates, no mark.
    ini.loadWideText(text.data(), text.size(), toAscii);
    std::string out;
    ini.getString("", "a", out);
    return 0;
}

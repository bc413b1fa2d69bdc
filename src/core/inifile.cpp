// The profile-file store behind autorun.cfg, AutoRun.inf and Localization.ini.
// Windows' own profile calls are not used: they cache files, cap line lengths
// differently and cannot read the wide files the discs carry.
#include "core/inifile.h"

#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/text.h"

namespace {

// Lines before the first header belong to the unnamed section, which is only
// created when such a line exists.
const int kUnnamedPending = -2;
const int kSkipping = -1;

// One read of the 8-bit reader: at most 1023 characters, up to a line feed.
const int kNarrowRead = 1024;
// One read of the wide reader: at most 2047 16-bit characters.
const size_t kWideRead = 2047;

bool sameName(const std::string& a, const char* b) {
    size_t n = a.size();
    if (strlen(b) != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = x - 'A' + 'a';
        if (y >= 'A' && y <= 'Z')
            y = y - 'A' + 'a';
        if (x != y)
            return false;
    }
    return true;
}

// Closes the file it was given when it goes out of scope.
class FileHolder {
  public:
    explicit FileHolder(FILE* f) : m_file(f) {}
    ~FileHolder() {
        if (m_file)
            fclose(m_file);
    }
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;
    FILE* get() const { return m_file; }

  private:
    FILE* m_file;
};

// Reads one line of 16-bit little-endian characters: at most kWideRead of
// them, up to and including a line feed.  A lone byte at the end of the file
// is not a character and is dropped.  False at the end of the file.
bool readWideLine(FILE* f, std::wstring& line) {
    line.clear();
    while (line.size() < kWideRead) {
        int lo = getc(f);
        if (lo == EOF)
            break;
        int hi = getc(f);
        if (hi == EOF)
            break;
        wchar_t c = static_cast<wchar_t>(lo | (hi << 8));
        line.push_back(c);
        if (c == L'\n')
            break;
    }
    return !line.empty();
}

std::string toAnsi(const std::wstring& wide) {
    if (wide.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr,
                        nullptr);
    return out;
}

} // namespace

void CIniFile::setPath(const char* path) {
    m_path = path ? path : "";
    m_loaded = true;
    clearSections();
}

void CIniFile::reset() {
    m_path.clear();
    m_loaded = false;
    clearSections();
}

void CIniFile::clearSections() {
    m_sectionNames.clear();
    m_sectionBodies.clear();
    m_groupCounter = 0;
    m_current = kUnnamedPending;
}

int CIniFile::findSection(const char* name, bool add) {
    if (!name)
        name = "";
    for (size_t i = 0; i < m_sectionNames.size(); ++i)
        if (sameName(m_sectionNames[i], name))
            return static_cast<int>(i);
    if (!add || m_sectionNames.size() >= kMaxSections)
        return -1;
    m_sectionNames.push_back(name);
    m_sectionBodies.emplace_back();
    return static_cast<int>(m_sectionNames.size() - 1);
}

void CIniFile::beginSection(const std::string& name) {
    int index = findSection(name.c_str(), true);
    m_current = index >= 0 ? index : kSkipping;
}

void CIniFile::addLine(const std::string& line) {
    if (line.empty() || line.compare(0, 2, "//") == 0)
        return;
    if (m_current == kUnnamedPending)
        beginSection(std::string());
    if (m_current == kSkipping)
        return;
    // Without a key the line is kept but can never match one.
    size_t eq = line.find('=');
    m_sectionBodies[m_current].push_back(eq == std::string::npos || eq == 0 ? std::string("=")
                                                                           : line);
}

int CIniFile::load() {
    clearSections();
    // Text mode: CR LF pairs arrive as LF and a Ctrl-Z ends the file, as
    // files written by DOS-era editors expect.
    FileHolder file(fopen(m_path.c_str(), "rt"));
    if (!file.get())
        return -1;
    char buf[kNarrowRead];
    while (fgets(buf, sizeof buf, file.get())) {
        // A NUL byte ends the text of this read.
        buf[strcspn(buf, "\r\n")] = '\0';
        std::string line(buf);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            std::string name = line.substr(1, line.size() - 2);
            if (name.find("Group") != std::string::npos) {
                char numbered[32];
                zk::formatText(numbered, sizeof numbered, "Group %04d", m_groupCounter++);
                name = numbered;
            }
            beginSection(name);
            continue;
        }
        addLine(line);
    }
    return 0;
}

int CIniFile::loadWide() {
    clearSections();
    FileHolder file(fopen(m_path.c_str(), "rb"));
    if (!file.get())
        return -1;
    std::wstring line;
    bool first = true;
    while (readWideLine(file.get(), line)) {
        // The line ends at its first CR or LF; a NUL character ends it too.
        size_t end = line.find_first_of(std::wstring(L"\r\n\0", 3));
        if (end != std::wstring::npos)
            line.resize(end);
        // The byte-order mark is passed over when testing for a header only.
        size_t start = (first && !line.empty() && line[0] == 0xFEFF) ? 1 : 0;
        first = false;
        if (line.size() >= start + 2 && line[start] == L'[' && line.back() == L']') {
            beginSection(toAnsi(line.substr(start + 1, line.size() - start - 2)));
            continue;
        }
        addLine(toAnsi(line));
    }
    return 0;
}

void CIniFile::getString(const char* section, const char* key, std::string& out) {
    out.clear();
    int index = findSection(section, true);
    if (index < 0)
        return;
    std::string wanted = key ? key : "";
    wanted += '=';
    for (const std::string& line : m_sectionBodies[index]) {
        if (line.compare(0, wanted.size(), wanted) == 0) {
            out = line.substr(wanted.size());
            return;
        }
    }
}

void CIniFile::getText(const char* section, const char* key, char* dest, size_t size) {
    std::string value;
    getString(section, key, value);
    zk::copyText(dest, size, value.c_str());
}

void CIniFile::getBool(const char* section, const char* key, bool* dest) {
    std::string value;
    getString(section, key, value);
    if (dest)
        *dest = zk::parseDecimal(value.c_str(), INT_MIN, INT_MAX) != 0;
}

void CIniFile::getInt(const char* section, const char* key, int* dest) {
    std::string value;
    getString(section, key, value);
    if (dest)
        *dest = static_cast<int>(zk::parseDecimal(value.c_str(), INT_MIN, INT_MAX));
}

void CIniFile::getInt64(const char* section, const char* key, __int64* dest) {
    std::string value;
    getString(section, key, value);
    if (dest)
        *dest = zk::parseDecimal(value.c_str(), LLONG_MIN, LLONG_MAX);
}

namespace zk {

__int64 parseDecimal(const char* text, __int64 low, __int64 high) {
    const char* p = text ? text : "";
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    // Accumulate towards the sign's limit so that the most negative value fits.
    unsigned long long limit = negative ? 0ULL - static_cast<unsigned long long>(low)
                                        : static_cast<unsigned long long>(high);
    unsigned long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        unsigned digit = static_cast<unsigned>(*p - '0');
        if (value > (limit - digit) / 10) {
            value = limit;
            break;
        }
        value = value * 10 + digit;
    }
    if (!negative)
        return static_cast<__int64>(value);
    return value == limit ? low : -static_cast<__int64>(value);
}

} // namespace zk

// The profile-file store behind autorun.cfg, AutoRun.inf and Localization.ini:
// the parsing of a file's bytes and the lookups.  Windows' own profile calls
// are not used: they cache files, cap line lengths differently and cannot
// read the wide files the discs carry.  The files are read in inifile_file.cpp.
#include "core/inifile.h"

#include <climits>
#include <cstring>

#include "platform/text.h"
#include "platform/textlines.h"

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

// Reads one line of 16-bit little-endian characters from data at *pos: at
// most kWideRead of them, up to and including a line feed.  A lone byte at
// the end is not a character and is dropped.  False at the end.
bool readWideLine(const char* data, size_t size, size_t* pos, std::u16string& line) {
    line.clear();
    while (line.size() < kWideRead && size - *pos >= 2) {
        unsigned lo = static_cast<unsigned char>(data[*pos]);
        unsigned hi = static_cast<unsigned char>(data[*pos + 1]);
        *pos += 2;
        char16_t c = static_cast<char16_t>(lo | (hi << 8));
        line.push_back(c);
        if (c == u'\n')
            break;
    }
    return !line.empty();
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

void CIniFile::loadText(const char* data, size_t size) {
    clearSections();
    // Read as a text-mode file: CR LF pairs arrive as LF and a Ctrl-Z ends
    // the file, as files written by DOS-era editors expect.
    zk::CTextLines lines(data, size, kNarrowRead);
    std::string line;
    while (lines.next(line)) {
        // A NUL byte ends the text of a read, as a CR or LF does.
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
}

void CIniFile::loadWideText(const char* data, size_t size, WideToNarrow toNarrow) {
    clearSections();
    if (!data)
        size = 0;
    size_t pos = 0;
    std::u16string line;
    bool first = true;
    while (readWideLine(data, size, &pos, line)) {
        // The line ends at its first CR or LF; a NUL character ends it too.
        size_t end = line.find_first_of(std::u16string(u"\r\n\0", 3));
        if (end != std::u16string::npos)
            line.resize(end);
        // The byte-order mark is passed over when testing for a header only.
        size_t start = (first && !line.empty() && line[0] == 0xFEFF) ? 1 : 0;
        first = false;
        if (line.size() >= start + 2 && line[start] == u'[' && line.back() == u']') {
            beginSection(toNarrow(line.data() + start + 1, line.size() - start - 2));
            continue;
        }
        addLine(toNarrow(line.data(), line.size()));
    }
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

void CIniFile::getInt64(const char* section, const char* key, long long* dest) {
    std::string value;
    getString(section, key, value);
    if (dest)
        *dest = zk::parseDecimal(value.c_str(), LLONG_MIN, LLONG_MAX);
}

namespace zk {

long long parseDecimal(const char* text, long long low, long long high) {
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
        return static_cast<long long>(value);
    return value == limit ? low : -static_cast<long long>(value);
}

} // namespace zk

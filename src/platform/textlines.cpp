// Text-mode line reads over a buffer.
#include "platform/textlines.h"

#include <cstdio>

namespace zk {

CTextLines::CTextLines(const char* data, size_t size, size_t readSize)
    : m_data(data), m_size(data ? size : 0), m_readSize(readSize < 2 ? 2 : readSize) {}

bool CTextLines::next(std::string& line) {
    line.clear();
    size_t taken = 0;
    bool cut = false;
    while (taken + 1 < m_readSize && m_pos < m_size) {
        char c = m_data[m_pos];
        if (c == '\x1A') {
            m_pos = m_size;
            break;
        }
        ++m_pos;
        if (c == '\r' && m_pos < m_size && m_data[m_pos] == '\n') {
            c = '\n';
            ++m_pos;
        }
        ++taken;
        if (c == '\0' || c == '\r' || c == '\n')
            cut = true;
        if (!cut)
            line.push_back(c);
        if (c == '\n')
            break;
    }
    return taken > 0;
}

bool readFileBytes(const char* path, std::string* out) {
    out->clear();
    FILE* file = fopen(path ? path : "", "rb");
    if (!file)
        return false;
    char chunk[16384];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, file)) > 0)
        out->append(chunk, n);
    fclose(file);
    return true;
}

} // namespace zk

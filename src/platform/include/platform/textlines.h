// textlines.h - the lines of a text file held in memory, cut as the C
// runtime's text-mode stream and fgets cut them, so that parsers can work on
// a buffer and still read a file exactly as it was always read.
#ifndef ZK_PLATFORM_TEXTLINES_H
#define ZK_PLATFORM_TEXTLINES_H

#include <cstddef>
#include <string>

namespace zk {

// CR LF arrives as LF, a Ctrl-Z ends the text, and one read takes at most
// readSize - 1 characters, up to and including a line feed; the rest of a
// longer line comes with the next read.
class CTextLines {
  public:
    CTextLines(const char* data, size_t size, size_t readSize);
    // The next read, cut at its first NUL, CR or LF; false at the end.
    bool next(std::string& line);

  private:
    const char* m_data;
    size_t m_size;
    size_t m_pos = 0;
    size_t m_readSize;
};

// Reads a whole file, byte for byte, into *out; false when it cannot be
// opened.  A read error ends the bytes where it happened, as it ends a
// line-by-line read.
bool readFileBytes(const char* path, std::string* out);

} // namespace zk

#endif

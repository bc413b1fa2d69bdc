// inifile.h - the library's profile-file store: a whole file of [section]
// headers and key=value lines held in memory and answered by section and key.
#ifndef ZK_CORE_INIFILE_H
#define ZK_CORE_INIFILE_H

#include <cstddef>
#include <string>
#include <vector>

// Section names compare without regard to case, keys with regard to case; the
// first of two equal keys in a section wins.  Every getter writes its
// destination: a missing key gives "", false or 0.
class CIniFile {
  public:
    // At most this many distinct sections are kept.  The lines of any further
    // section are skipped while loading, and lookups of it find nothing.
    static const size_t kMaxSections = 1024;

    // Turns a run of UTF-16 characters into the 8-bit text kept.
    typedef std::string (*WideToNarrow)(const char16_t* text, size_t length);

    void setPath(const char* path);
    int load();      // 8-bit file; 0, or -1 when it cannot be opened
    int loadWide();  // UTF-16LE file with BOM; 0 or -1
    // The same from the file's bytes in memory (what load and loadWide read).
    void loadText(const char* data, size_t size);
    void loadWideText(const char* data, size_t size, WideToNarrow toNarrow);
    void getString(const char* section, const char* key, std::string& out);
    void getText(const char* section, const char* key, char* dest, size_t size = 260);
    void getBool(const char* section, const char* key, bool* dest);
    void getInt(const char* section, const char* key, int* dest);
    void getInt64(const char* section, const char* key, long long* dest);
    void reset();

  private:
    void clearSections();
    // Index of the section, or -1; adds it when `add` is set and there is room.
    int findSection(const char* name, bool add);
    // Makes the named section current for the lines that follow.
    void beginSection(const std::string& name);
    // Stores one line (CR/LF already cut) in the current section.
    void addLine(const std::string& line);

    std::string m_path;
    bool m_loaded = false;
    std::vector<std::string> m_sectionNames;
    std::vector<std::vector<std::string>> m_sectionBodies;
    int m_groupCounter = 0;
    int m_current = -1;  // section receiving lines; -1 while skipping
};

namespace zk {
// Decimal parsing as the getters do it: leading white space, one sign, digits
// up to the first other character; no digits give 0, and a number beyond the
// type's range gives its nearest limit.
long long parseDecimal(const char* text, long long low, long long high);
} // namespace zk

#endif

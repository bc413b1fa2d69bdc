// regvalues.h - registry keys read back independently of the library, and
// values written the way an earlier installation would have left them.
#ifndef ZKTEST_REGVALUES_H
#define ZKTEST_REGVALUES_H

#include <windows.h>

#include <map>
#include <ostream>
#include <string>

namespace zktest {

struct RegValue {
    DWORD type = REG_NONE;
    std::string data;  // raw bytes as stored
    bool operator==(const RegValue& o) const { return type == o.type && data == o.data; }
};
std::ostream& operator<<(std::ostream& os, const RegValue& v);

// A REG_SZ as Windows stores it (with its terminator); a REG_DWORD.
RegValue sz(const std::string& text);
RegValue dword(DWORD value);

// Every value of the key (the default value under the name ""); an empty map
// when the key cannot be opened.
std::map<std::string, RegValue> readValues(HKEY root, const std::string& path);
// One value's text up to its terminator, or "<missing>".
std::string text(HKEY root, const std::string& path, const std::string& name);
// Names of the key's direct subkeys, sorted.
std::map<std::string, int> subkeys(HKEY root, const std::string& path);

void setText(HKEY root, const std::string& path, const std::string& name, const std::string& text);
void setNumber(HKEY root, const std::string& path, const std::string& name, DWORD value);
void deleteValue(HKEY root, const std::string& path, const std::string& name);
// Deletes the key when it has no subkeys and no values left.
void deleteIfEmpty(HKEY root, const std::string& path);

} // namespace zktest

#endif

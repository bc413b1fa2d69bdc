// regvalues.h - registry keys read back independently of the library: every
// value of a key with its type and raw bytes, and "reg export" output.
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

// A REG_SZ as Windows stores it (with its terminator); a REG_DWORD.
RegValue sz(const std::string& text);
RegValue dword(DWORD value);

// Every value of the key (the default value under the name ""); an empty map
// when the key cannot be opened.
std::map<std::string, RegValue> readValues(HKEY root, const std::string& path);

// Names of the key's direct subkeys, sorted.
std::map<std::string, int> subkeys(HKEY root, const std::string& path);

// The "reg export" text of a key below HKEY_LOCAL_MACHINE, as 8-bit text
// (the tool writes UTF-16); empty when the export failed.
std::string regExport(const std::string& machinePath);

// Writes values the way an earlier installation would have left them.
void setText(HKEY root, const std::string& path, const std::string& name, const std::string& text);
void setNumber(HKEY root, const std::string& path, const std::string& name, DWORD value);
void deleteValue(HKEY root, const std::string& path, const std::string& name);

// Deletes the key when it has no subkeys and no values left.
void deleteIfEmpty(HKEY root, const std::string& path);

std::ostream& operator<<(std::ostream& os, const RegValue& v);

} // namespace zktest

#endif

#include "zktest/regvalues.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "zktest/harness.h"

namespace zktest {

RegValue sz(const std::string& text) { return {REG_SZ, text + std::string(1, '\0')}; }

RegValue dword(DWORD value) {
    return {REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value)};
}

std::map<std::string, RegValue> readValues(HKEY root, const std::string& path) {
    std::map<std::string, RegValue> values;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameLen = sizeof name;
        BYTE data[8192];
        DWORD dataLen = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &dataLen) != ERROR_SUCCESS)
            break;
        values[std::string(name, nameLen)] = {type,
                                              std::string(reinterpret_cast<char*>(data), dataLen)};
    }
    RegCloseKey(key);
    return values;
}

std::map<std::string, int> subkeys(HKEY root, const std::string& path) {
    std::map<std::string, int> names;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        char name[260];
        DWORD len = sizeof name;
        if (RegEnumKeyExA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names[name] = 1;
    }
    RegCloseKey(key);
    return names;
}

std::string regExport(const std::string& machinePath) {
    ScratchDir dir("regexport");
    std::string file = dir / "export.reg";
    RunResult r = run("reg export \"HKLM\\" + machinePath + "\" \"" + file + "\" /y");
    if (r.exitCode != 0)
        return std::string();
    std::string raw = readFile(file);
    std::string text;
    size_t start = raw.size() >= 2 && raw[0] == '\xFF' && raw[1] == '\xFE' ? 2 : 0;
    if (start == 2) {
        for (size_t i = start; i + 1 < raw.size(); i += 2) {
            unsigned c = static_cast<unsigned char>(raw[i]) |
                         (static_cast<unsigned char>(raw[i + 1]) << 8);
            if (c != '\r')
                text += c < 128 ? static_cast<char>(c) : '?';
        }
    } else {
        for (char c : raw)
            if (c != '\r')
                text += c;
    }
    return text;
}

void setText(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

void setNumber(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
    RegCloseKey(key);
}

void deleteValue(HKEY root, const std::string& path, const std::string& name) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

void deleteIfEmpty(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    DWORD subkeyCount = 1, valueCount = 1;
    LONG rc = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeyCount, nullptr, nullptr,
                               &valueCount, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    if (rc == ERROR_SUCCESS && subkeyCount == 0 && valueCount == 0)
        RegDeleteKeyA(root, path.c_str());
}

std::ostream& operator<<(std::ostream& os, const RegValue& v) {
    os << "type " << v.type << " [";
    if (v.type == REG_DWORD && v.data.size() == 4) {
        DWORD n;
        memcpy(&n, v.data.data(), 4);
        os << "dword " << n;
    } else {
        for (char c : v.data)
            if (c)
                os << c;
            else
                os << "\\0";
    }
    return os << "] " << v.data.size() << " bytes";
}

} // namespace zktest

#include "zktest/regvalues.h"

#include <gtest/gtest.h>

#include <cstring>

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
        BYTE data[8192];
        DWORD nameLen = sizeof name, dataLen = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &dataLen) != ERROR_SUCCESS)
            break;
        values[std::string(name, nameLen)] = {type,
                                              std::string(reinterpret_cast<char*>(data), dataLen)};
    }
    RegCloseKey(key);
    return values;
}

std::string text(HKEY root, const std::string& path, const std::string& name) {
    auto values = readValues(root, path);
    auto it = values.find(name);
    return it == values.end() ? "<missing>" : it->second.data.substr(0, it->second.data.find('\0'));
}

std::map<std::string, int> subkeys(HKEY root, const std::string& path) {
    std::map<std::string, int> names;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    char name[260];
    for (DWORD i = 0, len = sizeof name;
         RegEnumKeyExA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, len = sizeof name)
        names[name] = 1;
    RegCloseKey(key);
    return names;
}

static void setValue(HKEY root, const std::string& path, const std::string& name, DWORD type,
                     const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void setText(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
    setValue(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void setNumber(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    setValue(root, path, name, REG_DWORD, &value, sizeof value);
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
    for (char c : v.data)
        os << (c ? std::string(1, c) : std::string("\\0"));
    return os << "] " << v.data.size() << " bytes";
}

} // namespace zktest

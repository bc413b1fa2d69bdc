// CZKRegistry: one open registry key; every failure is a Windows error code.
#include "ZKInstall.h"

#include <cstdio>
#include <cstring>

#include "platform/text.h"

CZKRegistry::CZKRegistry() : m_key(nullptr) {}

CZKRegistry::~CZKRegistry() { closeKey(); }

// Each object owns its own handle, so assignment leaves both keys as they are.
CZKRegistry& CZKRegistry::operator=(const CZKRegistry&) { return *this; }

HKEY CZKRegistry::stringToKey(char* name) {
    static const struct {
        const char* name;
        HKEY key;
    } kRoots[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", HKEY_USERS},
        {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
        {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY_DYN_DATA", HKEY_DYN_DATA},
    };
    for (const auto& root : kRoots)
        if (name && lstrcmpiA(name, root.name) == 0)
            return root.key;
    return nullptr;
}

int CZKRegistry::createKey(HKEY root, const char* path) {
    closeKey();
    DWORD disposition = 0;
    return RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, &m_key, &disposition);
}

int CZKRegistry::openKey(HKEY root, const char* path) {
    closeKey();
    return RegOpenKeyExA(root, path, 0, KEY_READ, &m_key);
}

void CZKRegistry::closeKey() {
    if (m_key)
        RegCloseKey(m_key);
    m_key = nullptr;
}

int CZKRegistry::setValue(const char* name, const char* text) {
    if (!m_key)
        return -1;
    if (!text)
        text = "";
    return RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(strlen(text) + 1));
}

int CZKRegistry::setValue(const char* name, unsigned long number) {
    if (!m_key)
        return -1;
    DWORD value = number;
    return RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value);
}

int CZKRegistry::getValue(const char* name, char* buffer, unsigned long* size) {
    if (!m_key)
        return -1;
    DWORD type = 0;
    DWORD bytes = size ? *size : 0;
    LONG rc = RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    if (size)
        *size = bytes;
    return rc;
}

int CZKRegistry::getValue(const char* name, unsigned long* number) {
    if (!m_key)
        return -1;
    DWORD type = 0;
    DWORD value = 0;
    DWORD bytes = sizeof value;
    LONG rc = RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes);
    if (rc == ERROR_SUCCESS && number)
        *number = value;
    return rc;
}

int CZKRegistry::deleteValue(const char* name) {
    if (!m_key)
        return -1;
    return RegDeleteValueA(m_key, name);
}

int CZKRegistry::deleteKey(const char* name) {
    if (!m_key)
        return -1;
    return RegDeleteKeyA(m_key, name);
}

int CZKRegistry::deleteKeyIfEmpty(const char* path) {
    int result = ERROR_DIR_NOT_EMPTY;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return ERROR_DIR_NOT_EMPTY;
    char name[260];
    DWORD len = sizeof name;
    FILETIME written;
    // Any failure to name a first subkey counts as "no subkeys".
    if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, &written) != ERROR_SUCCESS)
        result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
    RegCloseKey(key);
    return result;
}

int CZKRegistry::XdelKeys(const char* path) {
    if (!m_key)
        return ERROR_INVALID_HANDLE;
    int result = ERROR_SUCCESS;
    LONG failure = ERROR_SUCCESS;
    DWORD index = 0;
    for (;;) {
        char name[260];
        DWORD len = sizeof name;
        FILETIME written;
        LONG rc = RegEnumKeyExA(m_key, index, name, &len, nullptr, nullptr, nullptr, &written);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA)
            return rc;  // enumeration itself failed: nothing more can be done
        char child[1024];
        zk::formatText(child, sizeof child, "%s\\%s", path, name);
        {
            CZKRegistry sub;
            if (sub.openKey(HKEY_LOCAL_MACHINE, child) == ERROR_SUCCESS)
                sub.XdelKeys(child);
        }
        // The recursive call has normally deleted the child itself already.
        rc = RegDeleteKeyA(m_key, name);
        if (rc == ERROR_FILE_NOT_FOUND)
            rc = ERROR_SUCCESS;
        result = rc;
        if (rc != ERROR_SUCCESS) {
            // Skip a subkey that resists deletion so the loop moves on; the
            // failure is what the call reports.
            failure = rc;
            ++index;
        }
    }
    if (failure != ERROR_SUCCESS)
        return failure;
    const char* slash = nullptr;
    size_t len = path ? strlen(path) : 0;
    for (size_t i = len; i-- > 1;)
        if (path[i] == '\\') {
            slash = path + i;
            break;
        }
    if (!slash)
        return result;
    char parent[1024];
    zk::copyText(parent, static_cast<size_t>(slash - path) + 1 < sizeof parent
                             ? static_cast<size_t>(slash - path) + 1
                             : sizeof parent,
                 path);
    HKEY parentKey = nullptr;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, parent, 0, KEY_READ, &parentKey);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = RegDeleteKeyA(parentKey, slash + 1);
    RegCloseKey(parentKey);
    return rc;
}

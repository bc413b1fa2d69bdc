#include "platform/regtext.h"

namespace zk {

RegistryTextKey::RegistryTextKey(HKEY root, const char* path) {
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &m_key) != ERROR_SUCCESS)
        m_key = nullptr;
}

RegistryTextKey::~RegistryTextKey() {
    if (m_key)
        RegCloseKey(m_key);
}

bool RegistryTextKey::readText(const char* name, char* out, size_t cap) const {
    if (!out || cap == 0)
        return false;
    out[0] = '\0';
    if (!m_key || cap < 2)
        return false;
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(cap - 1);
    if (RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        out[0] = '\0';
        return false;
    }
    out[size < cap ? size : cap - 1] = '\0';
    return true;
}

} // namespace zk

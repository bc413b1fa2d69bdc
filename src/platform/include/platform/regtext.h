// regtext.h - a registry key opened for reading text values that other
// programs wrote: only strings, always terminated, never longer than asked.
#ifndef ZK_PLATFORM_REGTEXT_H
#define ZK_PLATFORM_REGTEXT_H

#include <windows.h>

#include <cstddef>

namespace zk {

// One key opened for reading; closed when the object goes.
class RegistryTextKey {
  public:
    RegistryTextKey(HKEY root, const char* path);
    ~RegistryTextKey();
    RegistryTextKey(const RegistryTextKey&) = delete;
    RegistryTextKey& operator=(const RegistryTextKey&) = delete;

    bool isOpen() const { return m_key != nullptr; }

    // The REG_SZ value `name` into out, terminated (a stored text need not
    // be): at most cap-1 bytes are read.  False, and out empty, when the key
    // is not open or the value is missing, of another type or longer.
    bool readText(const char* name, char* out, size_t cap) const;

  private:
    HKEY m_key = nullptr;
};

} // namespace zk

#endif

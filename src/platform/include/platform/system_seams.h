// system_seams.h - internal pieces of CZKSystem that the tests reach directly.
#ifndef ZK_PLATFORM_SYSTEM_SEAMS_H
#define ZK_PLATFORM_SYSTEM_SEAMS_H

#include <windows.h>

namespace zk {

// Replaces the final restart request; the tests use it so nothing restarts.
typedef BOOL (*RebootSeam)();
void setRebootSeam(RebootSeam seam);

// The operating-system name for a version; sets *isNT.
const char* osNameFor(DWORD platform, DWORD major, DWORD minor, bool* isNT);
// Reads the user's locale code from HKEY_CURRENT_USER\keyPath ("Locale") and
// decides North America; a key that cannot be opened is reported as an error.
void readLocale(const char* keyPath, char* locale, bool* northAmerica);
// True when the last four characters of the locale code are 0409 or 1009.
bool isNorthAmericanLocale(const char* locale);

} // namespace zk

#endif

// config_values.h - the values of autorun.cfg that need more than a lookup:
// the startup disc's number and the company and key path named by
// "Registry".
#ifndef ZK_CORE_CONFIG_VALUES_H
#define ZK_CORE_CONFIG_VALUES_H

#include <cstddef>

namespace zk {

// "StartupCD" as a disc number: the leading decimal number, so "2nd" asks for
// disc 2 and text without digits for none (0).
int startupDiscNumber(const char* value);

// "Registry": the registry key path is "SOFTWARE\<value>", and the text
// before a backslash that is not the first character names the company.
// Writes keyPath always and company only when one is named; true then.
// Both are cut to their capacities.
bool splitRegistrySetting(const char* value, char* company, size_t companyCap, char* keyPath,
                          size_t keyPathCap);

} // namespace zk

#endif

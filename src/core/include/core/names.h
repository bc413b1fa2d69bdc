// names.h - names derived from the product's display name.
#ifndef ZK_CORE_NAMES_H
#define ZK_CORE_NAMES_H

namespace zk {

// Keeps letters, digits and " !@#$%^&()_+-=[]{};'," and trims both ends, so the
// result is safe in file and registry names.  dest holds 260 bytes.
void makeFriendlyName(char* dest, const char* src);

} // namespace zk

#endif

// game_registry_parts.h - what the game-registry files share: finding an
// installed file and the language table's rows.
// Private to the integration layer.
#ifndef ZK_INTEGRATION_GAME_REGISTRY_PARTS_H
#define ZK_INTEGRATION_GAME_REGISTRY_PARTS_H

#include <cstddef>

#include "ZKInstall.h"
#include "integration/game_registry.h"

namespace zk {

// Looks a path up in its folder and the folders below; the first match
// replaces it, otherwise it stays as composed.
void findInstalled(char* path, size_t cap);

// The name and prefix of a row of the language table; empty past its end.
const char* languageName(int index);
const char* languagePrefix(int index);

// Language indexes stored in the registry are only believed when they name a
// row of the table; anything else would index past it.
inline bool validLanguage(unsigned long index) { return index >= 1 && index <= 25; }

} // namespace zk

#endif

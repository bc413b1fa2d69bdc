// The game's cache: the configured size thresholds the host shows, the
// configured swap size and whether the game streams its data.  The sizes the
// user chooses are kept and written to the registry with the game's entries.
#include "core/installer.h"

using namespace zk;

// A null out-pointer is skipped rather than written through.
static int storeSize(__int64* out, __int64 value) {
    if (out)
        *out = value;
    return 0;
}

int ZKINSTALL_getCacheMinimum(__int64* out) { return storeSize(out, installer().m_cacheMinimum); }

int ZKINSTALL_getCacheSatisfactory(__int64* out) {
    return storeSize(out, installer().m_cacheSatisfactory);
}

int ZKINSTALL_getCacheFull(__int64* out) { return storeSize(out, installer().m_cacheFull); }

// The configured size, not the one the host chose with ZKINSTALL_setGameSwapSize.
int ZKINSTALL_getSwapSize(__int64* out) { return storeSize(out, installer().m_swapSize); }

bool ZKINSTALL_getGameHasStreaming() { return installer().m_gameHasStreaming; }

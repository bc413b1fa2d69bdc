// The cache settings the host reads: each getter reports its own configured
// value, and the sizes the host chooses never replace them.
#include <gtest/gtest.h>

#include "ZKInstall.h"
#include "core/installer.h"
#include "core/text.h"

namespace {

TEST(CacheSettings, EachGetterReportsItsOwnConfiguredValue) {
    zk::CZKInstaller& s = zk::installer();
    s.m_cacheMinimum = 100LL << 20;
    s.m_cacheSatisfactory = 5000000000LL;  // above 32 bits
    s.m_cacheFull = -3;                    // kept as configured, sign included
    s.m_swapSize = 7LL << 30;
    struct Case {
        const char* name;
        int (*get)(__int64*);
        __int64 expected;
    } cases[] = {
        {"minimum", ZKINSTALL_getCacheMinimum, 100LL << 20},
        {"satisfactory", ZKINSTALL_getCacheSatisfactory, 5000000000LL},
        {"full", ZKINSTALL_getCacheFull, -3},
        {"swap", ZKINSTALL_getSwapSize, 7LL << 30},
    };
    // Sizes chosen by the host go elsewhere (no game key: nothing is written).
    zk::copyText(s.m_registryName, "");
    ZKINSTALL_setGameSwapSize(1048576);
    ZKINSTALL_setGameCacheSize(2048);
    for (const Case& c : cases) {
        __int64 value = 0;
        EXPECT_EQ(0, c.get(&value)) << c.name;
        EXPECT_EQ(c.expected, value) << c.name;
        EXPECT_EQ(0, c.get(nullptr)) << c.name;
    }
    EXPECT_EQ(2048, ZKINSTALL_getGameCacheSize());
    EXPECT_EQ(1048576, s.m_gameSwapSize);

    for (bool streaming : {true, false}) {
        s.m_gameHasStreaming = streaming;
        EXPECT_EQ(streaming, ZKINSTALL_getGameHasStreaming());
    }
}

} // namespace

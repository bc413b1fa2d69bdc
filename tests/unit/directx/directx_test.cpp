// The DirectX component against fake dsetup.dll variants, the version tables,
// and the detectors of the installed DirectX (under Wine the diagnostic
// provider answers "9.0c", the file-version ladder on the system folder "9.0").
#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <utility>
#include <vector>

#include "components/directx.h"
#include "core/host.h"
#include "zktest/harness.h"

namespace {

using zk::CZKDirectX;

std::string variantDll(const std::string& variant) {
    return zktest::binDir() + "\\dsetup\\" + variant + "\\dsetup.dll";
}

// A folder holding a copy of one variant as dsetup.dll (none for ""), its ini
// and, once called, its log.
struct FakeFolder {
    FakeFolder(const std::string& variant, const std::string& ini) {
        std::string copy = dir / "dsetup.dll";
        if (!variant.empty())
            EXPECT_TRUE(CopyFileA(variantDll(variant).c_str(), copy.c_str(), FALSE)) << variant;
        zktest::writeFile(dir / "dsetup.ini", ini);
    }
    std::string log() const {
        return zktest::exists(dir / "dsetup.log") ? zktest::readFile(dir / "dsetup.log") : "";
    }
    zktest::ScratchDir dir{"zkdx"};
};

class DirectXUnit : public ::testing::Test {
  protected:
    void SetUp() override {
        zk::g_messageBox = zktest::MessageScript::callback;
        script.setFallback(IDOK);
    }
    void TearDown() override { zk::g_messageBox = nullptr; }
    std::string boxes() const {
        std::string all;
        for (const zktest::MessageCall& c : script.calls())
            all += c.text + "|" + c.caption + ";";
        return all;
    }
    zktest::MessageScript script;
};

TEST(DirectXNames, SetupLibraryVersionsNumbersAndLanguages) {
    const struct {
        const char *version, *name;
        int result;
    } versions[] = {
        {"4.6.2.436", "6.0", 0},  {"4.7.0.716", "7.0a", 0},        {"4.9.0.904", "9.0c", 0},
        {"4.9.0.905", "9.0", -1}, {"4.6.0.436", "6.0", -1},        {"4.9.0.90", "9.0", -1},
        {"4.9.0", "Unknown", -2}, {"", "Unknown", -2},             {"4,9,0,904", "0.0", -1},
        {"5.1.2600.881", "1.2600", -1},
    };
    for (const auto& row : versions) {
        char text[260];
        zk::copyText(text, sizeof text, row.version);
        EXPECT_EQ(row.result, CZKDirectX::getVersionName(text)) << row.version;
        EXPECT_STREQ(row.name, text) << row.version;
    }

    const struct {
        const char* name;
        float before, after;
    } numbers[] = {
        {"9.0c", -1, 9.03f}, {"8.1", -1, 8.1f},   {"7.0a", -1, 7.01f},  {"9.0", -1, 9.0f},
        {"0.0", -1, 0.0f},   {"", -1, -1.0f},     {"UNKNOWN", 5, 5.0f}, {"Unknown", 5, 5.14f},
        {"c", 5, 5.03f},     {"10.0z", -1, 10.26f},
    };
    for (const auto& row : numbers) {
        float number = row.before;
        zk::directXNumber(row.name, &number);
        EXPECT_FLOAT_EQ(row.after, number) << row.name;
    }

    // The table's ends; the licence test through the exports reaches the ids inside.
    for (int index : {-1, 0, 25, 26})
        EXPECT_EQ(index == 25 ? 10 : 0, CZKDirectX::getLanguageId(index)) << index;
}

// The ladder reads fixed file versions: copies of the fake libraries stand in
// for DirectX's system files.
TEST(DirectXInstalled, FileVersionLadder) {
    const struct {
        std::vector<std::pair<const char*, const char*>> files;  // system file, variant
        const char* name;
    } rows[] = {
        {{}, "0.0"},
        {{{"ddraw.dll", "v881"}}, "8.0"},                      // 4.8.1.881 reaches 8.0
        {{{"ddraw.dll", "v5"}}, "8.0"},                        // 5.1.2600.881 too
        {{{"ddraw.dll", "v881"}, {"d3d8.dll", "v881"}}, "8.1"},
        {{{"d3d8.dll", "v5"}}, "8.1"},                         // 5.x needs 5.1.2600.881
        {{{"d3d8.dll", "v905"}}, "8.1a"},
        {{{"dinput.dll", "v881"}}, "7.1"},
        {{{"dpnet.dll", "v905"}, {"ddraw.dll", "v881"}}, "8.2"},
        {{{"dpnet.dll", "v881"}}, "0.0"},                      // below 4.9.0.134
        {{{"d3d9.dll", "noversion"}, {"dinput.dll", "v881"}}, "7.1"},  // unreadable: skipped
        {{{"d3d9.dll", "v881"}, {"d3d8.dll", "v905"}}, "9.0"},
    };
    for (const auto& row : rows) {
        zktest::ScratchDir system("zkdxsys");
        for (const auto& f : row.files)
            ASSERT_TRUE(CopyFileA(variantDll(f.second).c_str(), (system / f.first).c_str(), FALSE));
        char name[260];
        zk::directXName(zk::fileDirectXVersion(system.path().c_str()), name, sizeof name);
        EXPECT_STREQ(row.name, name) << (row.files.empty() ? "" : row.files[0].first);
    }
}

// The provider is asked first, and its COM initialisation leaves the thread's
// apartment as it found it.  A multithreaded thread cannot have the provider
// (it has no proxy for other apartments): the system folder's ladder answers.
TEST(DirectXInstalled, ProviderFirstAndComBalancedWhateverTheThreadHad) {
    struct Run {
        const char* what;
        DWORD before;  // ~0: not initialised
        const char* name;
        HRESULT probe;  // a multithreaded initialisation right after the call
        char got[260];
        HRESULT gotProbe, after;
    } runs[] = {
        {"uninitialised", ~0ul, "9.0c", S_OK, "", E_FAIL, E_FAIL},
        {"single-threaded", COINIT_APARTMENTTHREADED, "9.0c", RPC_E_CHANGED_MODE, "", E_FAIL,
         E_FAIL},
        {"multithreaded", COINIT_MULTITHREADED, "9.0", S_FALSE, "", E_FAIL, E_FAIL},
    };
    for (Run& run : runs) {
        auto body = [](void* p) -> DWORD {
            Run& r = *static_cast<Run*>(p);
            if (r.before != ~0ul)
                CoInitializeEx(nullptr, r.before);
            CZKDirectX::getInstalledVersion(r.got);
            if (SUCCEEDED(r.gotProbe = CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
                CoUninitialize();
            if (r.before != ~0ul)
                CoUninitialize();
            if (SUCCEEDED(r.after = CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
                CoUninitialize();
            return 0;
        };
        HANDLE thread = CreateThread(nullptr, 0, body, &run, 0, nullptr);
        ASSERT_TRUE(thread);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        EXPECT_STREQ(run.name, run.got) << run.what;
        EXPECT_EQ(run.probe, run.gotProbe) << run.what;
        EXPECT_EQ(S_OK, run.after) << run.what << ": COM left initialised";
    }
}

// Each variant, complete or lacking entries, through every operation on one
// component: nothing calls an entry that is not there, nor one of the library
// loaded before.  The fakes report 4.9.0.904 as installed unless told otherwise.
TEST_F(DirectXUnit, FakeLibraryMatrix) {
    const struct {
        const char *variant, *ini, *os;
        int relation;
        int status;         // 7: untouched
        const char* names;  // disc name, installed name
        const char* boxes;
        bool installed;
        int eula;
    } rows[] = {
        {"v904", "", "", 3, 1, "9.0c 9.0c", "", true, 0},
        {"", "", "", 2, 7, "0.0 -", "", false, -1},
        {"v905", "", "", 1, 1, "9.0 9.0c", "", true, 0},
        {"v881", "", "", 2, 1, "8.1 9.0c", "", true, 0},
        {"v881", "", "Windows XP", 3, 1, "8.1 9.0c", "", true, 0},
        {"v881", "[dsetup]\nVersion=0x00040008\nRevision=0x00010371\n", "", 3, 1, "8.1 9.0c", "",
         true, 0},
        {"noversion", "", "", 2, 1, "Unknown 9.0c", "", true, 0},
        {"v904", "[dsetup]\nGetVersionResult=0\n", "", 1, 3, "UNKNOWN UNKNOWN", "", true, 0},
        {"nosetup", "", "", 3, 1, "9.0c 9.0c", "Cannot get address of DirectXSetupA|Dsetup.dll;",
         false, 0},
        {"nogetversion", "", "", 1, 3, "UNKNOWN UNKNOWN",
         "Cannot get address of DirectXSetupGetVersion|Dsetup.dll;"
         "m_DirectXSetupGetVersion is NULL|oops;",
         true, 0},
        {"noeula", "", "", 3, 1, "9.0c 9.0c", "", true, -1},
    };
    CZKDirectX dx;
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.variant) + " " + row.ini + " " + row.os);
        FakeFolder disc(row.variant, std::string(row.ini) + "[eula]\n9=Licence\n");
        script.clear();
        dx.setOS(row.os);
        dx.load(disc.dir.path().c_str());
        EXPECT_EQ(row.variant[0] != '\0', dx.isLoaded());
        int status = 7;
        char discName[260] = "-", installedName[260] = "-";
        EXPECT_EQ(row.relation, dx.getVersions(nullptr, &status, discName, installedName));
        EXPECT_EQ(row.status, status);
        EXPECT_EQ(row.names, std::string(discName) + " " + installedName);
        EXPECT_EQ(row.boxes, boxes());
        bool installed = !row.installed;
        EXPECT_FALSE(dx.install(nullptr, &installed));
        EXPECT_EQ(row.installed, installed);
        char* text = nullptr;
        unsigned size = 0;
        EXPECT_EQ(row.eula, dx.getEULA(&text, &size, 1));
        EXPECT_EQ(row.eula == 0 ? "Licence" : "", std::string(text ? text : ""));
        CZKDirectX::freeEULA(&text);
    }
}

TEST_F(DirectXUnit, LoadsTheFoldersLibraryByItsFullPath) {
    // Another dsetup.dll already in the process must not answer for the disc's.
    FakeFolder elsewhere("v881", "[eula]\n9=Elsewhere\n");
    HMODULE other = LoadLibraryA((elsewhere.dir / "dsetup.dll").c_str());
    ASSERT_TRUE(other);
    FakeFolder disc("v904", "[eula]\n9=Disc\n");
    std::string before = zktest::currentDirectory();
    CZKDirectX dx;
    dx.setDebug(true);
    dx.load(disc.dir.path().c_str());
    EXPECT_EQ(before, zktest::currentDirectory());
    int status = 0;
    char discName[260], installedName[260];
    dx.getVersions(nullptr, &status, discName, installedName);
    EXPECT_STREQ("9.0c", discName);
    EXPECT_EQ("DirectXSetupGetVersion in " + before + "\n", disc.log());
    EXPECT_EQ("", elsewhere.log());
    FreeLibrary(other);

    FakeFolder empty("", "");
    script.clear();
    dx.load(empty.dir.path().c_str());
    EXPECT_FALSE(dx.isLoaded());
    EXPECT_EQ("Could not load dsetup.dll|;", boxes());
}

} // namespace

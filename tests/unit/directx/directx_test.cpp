// The DirectX component against fake dsetup.dll variants in a scratch disc's
// DirectX folder, the version tables, and the two detectors of the installed
// DirectX (the diagnostic provider answers "9.0c" under Wine, the file-version
// ladder on Wine's system folder "9.0").
#include <gtest/gtest.h>
#include <objbase.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "components/directx.h"
#include "core/host.h"
#include "zktest/harness.h"

namespace {

using zk::CZKDirectX;
using zktest::MessageScript;

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

std::string boxes(const MessageScript& script) {
    std::string all;
    for (const zktest::MessageCall& c : script.calls())
        all += c.text + "|" + c.caption + ";";
    return all;
}

class DirectXUnit : public ::testing::Test {
  protected:
    void SetUp() override {
        zk::g_messageBox = MessageScript::callback;
        script.setFallback(IDOK);
    }
    void TearDown() override { zk::g_messageBox = nullptr; }
    MessageScript script;
};

TEST(DirectXNames, SetupLibraryVersionsNumbersAndLanguages) {
    const struct {
        const char* version;
        const char* name;
        int result;
    } versions[] = {
        {"4.6.2.436", "6.0", 0},    {"4.7.0.716", "7.0a", 0},  {"4.8.0.400", "8.0", 0},
        {"4.8.1.881", "8.1", 0},    {"4.9.0.900", "9.0", 0},   {"4.9.0.901", "9.0a", 0},
        {"4.9.0.902", "9.0b", 0},   {"4.9.0.904", "9.0c", 0},  {"4.9.0.905", "9.0", -1},
        {"4.6.0.436", "6.0", -1},   {"5.1.2600.881", "1.2600", -1}, {"4.9.0.90", "9.0", -1},
        {"4.9.0", "Unknown", -2},   {"", "Unknown", -2},       {"4,9,0,904", "0.0", -1},
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

    // Every language index, and the ones around the table.
    const unsigned short ids[] = {0,  9,  12, 7,  16, 10, 29, 0,    19,   0, 22, 5, 0, 0,
                                  17, 18, 25, 2052, 1028, 9, 21, 0, 0, 0, 0, 10};
    for (int index = -1; index <= 26; ++index) {
        unsigned short expected = index >= 0 && index <= 25 ? ids[index] : 0;
        EXPECT_EQ(expected, CZKDirectX::getLanguageId(index)) << index;
    }
}

// The ladder reads fixed file versions: copies of the fake libraries stand in
// for DirectX's system files.
TEST(DirectXInstalled, FileVersionLadderAndDiagnosticProvider) {
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

    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    char name[260];
    zk::directXName(zk::fileDirectXVersion(system), name, sizeof name);
    EXPECT_STREQ("9.0", name) << "the ladder on the system folder";
    zk::DirectXVersion asked;
    ASSERT_TRUE(zk::diagnosticDirectXVersion(&asked));
    zk::directXName(asked, name, sizeof name);
    EXPECT_STREQ("9.0c", name) << "the diagnostic provider";
    memset(name, '#', sizeof name);
    EXPECT_EQ(S_OK, CZKDirectX::getInstalledVersion(name));
    EXPECT_STREQ("9.0c", name) << "the provider is asked first";
}

// The provider's COM initialisation leaves the thread's apartment as it found
// it.  A multithreaded thread cannot have the provider (it has no proxy for
// other apartments), so the file versions answer there.
TEST(DirectXInstalled, ComIsBalancedWhateverTheThreadHad) {
    const struct {
        const char* what;
        DWORD before;  // ~0: not initialised
        const char* name;
        HRESULT probe;  // a multithreaded initialisation right after the call
    } rows[] = {
        {"uninitialised", ~0ul, "9.0c", S_OK},
        {"single-threaded", COINIT_APARTMENTTHREADED, "9.0c", RPC_E_CHANGED_MODE},
        {"multithreaded", COINIT_MULTITHREADED, "9.0", S_FALSE},
    };
    for (const auto& row : rows) {
        struct Run {
            DWORD before;
            char name[260];
            HRESULT probe, after;
        } run{row.before, "", E_FAIL, E_FAIL};
        auto body = [](void* p) -> DWORD {
            Run& r = *static_cast<Run*>(p);
            if (r.before != ~0ul)
                CoInitializeEx(nullptr, r.before);
            CZKDirectX::getInstalledVersion(r.name);
            r.probe = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            if (SUCCEEDED(r.probe))
                CoUninitialize();
            if (r.before != ~0ul)
                CoUninitialize();
            r.after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            if (SUCCEEDED(r.after))
                CoUninitialize();
            return 0;
        };
        HANDLE thread = CreateThread(nullptr, 0, body, &run, 0, nullptr);
        ASSERT_TRUE(thread);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        EXPECT_STREQ(row.name, run.name) << row.what;
        EXPECT_EQ(row.probe, run.probe) << row.what;
        EXPECT_EQ(S_OK, run.after) << row.what << ": COM left initialised";
    }
}

// Each variant, complete or lacking entries, through every operation: nothing
// calls an entry that is not there.
TEST_F(DirectXUnit, FakeLibraryMatrix) {
    // The fakes report 4.9.0.904 as the installed file version unless told otherwise.
    const struct {
        const char* variant;
        const char* ini;
        const char* os;
        int relation;
        int status;  // 7: untouched
        const char* names;  // disc name, installed name
        const char* boxes;
        bool installed;
        int eula;
    } rows[] = {
        {"", "", "", 2, 7, "0.0 -", "", false, -1},
        {"v904", "", "", 3, 1, "9.0c 9.0c", "", true, 0},
        {"v905", "", "", 1, 1, "9.0 9.0c", "", true, 0},
        {"v881", "", "", 2, 1, "8.1 9.0c", "", true, 0},
        {"v881", "", "Windows XP", 3, 1, "8.1 9.0c", "", true, 0},
        {"v5", "", "", 1, 1, "1.2600 9.0c", "", true, 0},
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
        {"noentries", "", "", 1, 3, "UNKNOWN UNKNOWN",
         "Cannot get address of DirectXSetupA|Dsetup.dll;"
         "Cannot get address of DirectXSetupGetVersion|Dsetup.dll;"
         "m_DirectXSetupGetVersion is NULL|oops;",
         false, -1},
    };
    for (const auto& row : rows) {
        std::string what = std::string(row.variant) + " " + row.ini + " " + row.os;
        FakeFolder disc(row.variant, std::string(row.ini) + "[eula]\n9=Licence\n");
        script.clear();
        CZKDirectX dx;
        dx.setOS(row.os);
        dx.load(disc.dir.path().c_str());
        EXPECT_EQ(row.variant[0] != '\0', dx.isLoaded()) << what;
        int status = 7;
        char discName[260] = "-", installedName[260] = "-";
        EXPECT_EQ(row.relation, dx.getVersions(nullptr, &status, discName, installedName)) << what;
        EXPECT_EQ(row.status, status) << what;
        EXPECT_EQ(row.names, std::string(discName) + " " + installedName) << what;
        EXPECT_EQ(row.boxes, boxes(script)) << what;

        bool installed = !row.installed;
        EXPECT_FALSE(dx.install(nullptr, &installed)) << what;
        EXPECT_EQ(row.installed, installed) << what;
        char* text = nullptr;
        unsigned size = 0;
        EXPECT_EQ(row.eula, dx.getEULA(&text, &size, 1)) << what;
        EXPECT_EQ(row.eula == 0 ? "Licence" : "", std::string(text ? text : "")) << what;
        CZKDirectX::freeEULA(&text);
        EXPECT_EQ(nullptr, text);
        dx.unload();
    }
}

TEST_F(DirectXUnit, LoadsTheFoldersLibraryOnlyAndForgetsItWhenUnloaded) {
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

    // Unloaded, then a load that fails: no entry of the freed library is called.
    dx.unload();
    FakeFolder empty("", "");
    script.clear();
    dx.load(empty.dir.path().c_str());
    EXPECT_FALSE(dx.isLoaded());
    EXPECT_EQ("Could not load dsetup.dll|;", boxes(script));
    char* text = reinterpret_cast<char*>(1);
    unsigned size = 5;
    EXPECT_EQ(-1, dx.getEULA(&text, &size, 1));
    EXPECT_EQ(nullptr, text);
    bool installed = true;
    EXPECT_FALSE(dx.install(nullptr, &installed));
    EXPECT_FALSE(installed);
    EXPECT_EQ(0, CZKDirectX::freeEULA(nullptr));
}

} // namespace

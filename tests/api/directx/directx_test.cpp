// The DirectX exports as a host drives them: disc 1 in D:, a fake dsetup.dll
// variant in its DirectX folder answering from dsetup.ini and logging its calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZKInstall.h"
#include "zktest/discs.h"
#include "zktest/harness.h"
#include "zktest/regvalues.h"

namespace {

using zktest::MessageScript;

class DirectXApi : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(zktest::haveDiscDrives()) << "run through the build's wine-run.sh";
        zktest::insertDisc('d', 1);
        zktest::makeDirs(folder());
        ASSERT_TRUE(SetCurrentDirectoryA("D:\\"));
        // A disc request that reached the quit question would end the test
        // program with a passing exit code.
        script.setFallback(zktest::kEndProcess);
        ZKINSTALL_setMessageBox(MessageScript::callback);
        ZKINSTALL_setBeforeCDRequest(MessageScript::beforeRequest);
        ZKINSTALL_setAfterCDRequest(MessageScript::afterRequest);
        std::vector<char> name(exe.c_str(), exe.c_str() + exe.size() + 1);
        ASSERT_TRUE(ZKINSTALL_init(name.data()));
    }
    void TearDown() override {
        EXPECT_TRUE(script.before().empty()) << "disc 1 was in D: all along";
        zktest::deleteTree(HKEY_LOCAL_MACHINE, appPaths);
    }

    static std::string folder() { return zktest::discFolder('d') + "\\DirectX"; }
    // The disc's dsetup.dll: a copy of `variant`, or none for "".
    static void directX(const std::string& variant, const std::string& ini = "") {
        DeleteFileA((folder() + "\\dsetup.dll").c_str());
        DeleteFileA((folder() + "\\dsetup.log").c_str());
        std::string fake = zktest::binDir() + "\\dsetup\\" + variant + "\\dsetup.dll";
        if (!variant.empty())
            ASSERT_TRUE(CopyFileA(fake.c_str(), (folder() + "\\dsetup.dll").c_str(), FALSE))
                << variant;
        zktest::writeFile(folder() + "\\dsetup.ini", ini);
    }
    static std::string log() {
        std::string path = folder() + "\\dsetup.log";
        return zktest::exists(path) ? zktest::readFile(path) : "";
    }

    zktest::DiscDrivesGuard drives;
    MessageScript script;
    const std::string exe = "ZKDirectX" + std::to_string(GetCurrentProcessId()) + ".exe";
    const std::string appPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + exe;
};

// Required whenever the disc's version is known, even the very one installed.
TEST_F(DirectXApi, InstallIsRequiredWheneverTheDiscsVersionIsKnown) {
    const struct {
        const char *variant, *ini;
        bool present, required;
    } rows[] = {
        {"", "", false, false},
        {"v904", "", true, true},
        {"v905", "", true, true},  // unnamed
        {"noversion", "", true, false},
        {"v904", "[dsetup]\nGetVersionResult=0\n", true, false},
    };
    for (const auto& row : rows) {
        directX(row.variant, row.ini);
        EXPECT_EQ(row.present, ZKINSTALL_getIsDirectXInstallerPresent()) << row.variant;
        EXPECT_EQ(row.required, ZKINSTALL_isDirectXInstallRequired()) << row.variant << row.ini;
    }
    EXPECT_TRUE(script.calls().empty());
}

TEST_F(DirectXApi, NamesNumbersAndTheirCaches) {
    char name[300];
    float number = -1;
    // No setup library yet: "0.0", and not kept.
    directX("");
    EXPECT_TRUE(ZKINSTALL_getCDDirectXVersionString(name));
    EXPECT_STREQ("0.0", name);
    directX("v904");
    EXPECT_TRUE(ZKINSTALL_getCDDirectXVersion(&number));
    EXPECT_FLOAT_EQ(9.03f, number);
    directX("v881");  // the first name found is kept
    EXPECT_TRUE(ZKINSTALL_getCDDirectXVersionString(name));
    EXPECT_STREQ("9.0c", name);

    // The diagnostic provider's answer (the file versions would give "9.0").
    EXPECT_TRUE(ZKINSTALL_getUserDirectXVersionString(name));
    EXPECT_STREQ("9.0c", name);
    number = -1;
    EXPECT_TRUE(ZKINSTALL_getUserDirectXVersion(&number));
    EXPECT_FLOAT_EQ(9.03f, number);

    // The configured minimum: none leaves the caller's number alone.
    number = -1;
    EXPECT_TRUE(ZKINSTALL_getMinimumDirectXVersion(&number));
    EXPECT_FLOAT_EQ(-1.0f, number);
    const std::string autoRun = zktest::discFolder('d') + "\\AutoRun";
    zktest::makeDirs(autoRun);
    zktest::writeFile(autoRun + "\\autorun.cfg", "DirectXVersion=9.0c\r\n");
    ASSERT_TRUE(ZKINSTALL_readSettings());
    EXPECT_TRUE(ZKINSTALL_getMinimumDirectXVersionString(name));
    EXPECT_STREQ("9.0c", name);
    EXPECT_TRUE(ZKINSTALL_getMinimumDirectXVersion(&number));
    EXPECT_FLOAT_EQ(9.03f, number);

    ASSERT_TRUE(ZKINSTALL_setLanguage(3));
    EXPECT_TRUE(ZKINSTALL_getDirectXLicenseAgreement(name));
    EXPECT_STREQ("D:\\Support\\de_eula.txt", name);
}

TEST_F(DirectXApi, SetupResultsSetTheFlags) {
    const std::string call =
        "DirectXSetupA(0000000000000000, D:\\DirectX, 0x10018) in D:\\DirectX\n";
    const struct {
        const char* result;
        bool installed;
        bool reboot;
    } rows[] = {
        {"2", false, false},
        {"-1", false, false},
        {"0", true, false},
        {"1", true, true},
        {"0", true, true},  // a restart asked for once stays asked for
    };
    EXPECT_FALSE(ZKINSTALL_getIsRebootRequired());
    for (const auto& row : rows) {
        directX("v904", std::string("[dsetup]\nSetupResult=") + row.result + "\n");
        zktest::deleteTree(HKEY_LOCAL_MACHINE, appPaths);
        ZKINSTALL_setDirectXInstalled(false);
        bool installed = !row.installed;
        EXPECT_EQ(row.installed, ZKINSTALL_installDirectX(&installed)) << row.result;
        EXPECT_EQ(row.installed, installed) << row.result;
        EXPECT_EQ(row.installed, ZKINSTALL_getDirectXInstalled()) << row.result;
        EXPECT_EQ(row.reboot, ZKINSTALL_getIsRebootRequired()) << row.result;
        EXPECT_EQ(call, log()) << row.result;
        // An installation is recorded for the restart, with its DirectX flag.
        auto values = zktest::readValues(HKEY_LOCAL_MACHINE, appPaths);
        EXPECT_EQ(row.installed, values["Restart"] == zktest::dword(1)) << row.result;
        EXPECT_EQ(row.installed, values["DirectX Installed"] == zktest::dword(1)) << row.result;
    }
    // No flag to answer in: the setup runs, the answer is false.
    directX("v904");
    EXPECT_FALSE(ZKINSTALL_installDirectX(nullptr));
    EXPECT_EQ(call, log());
    EXPECT_TRUE(script.calls().empty());
}

TEST_F(DirectXApi, LicenceTextByLanguage) {
    const std::string texts =
        "[eula]\n9=English licence\n7=Deutsche Lizenz\n0=Neutral licence\n2052=Chinese licence\n";
    const struct {
        int language;
        const char* ini;
        bool ok;
        const char* text;  // null: no buffer
        unsigned size;
        int id;
    } rows[] = {
        {1, "", true, "English licence", 16, 9},
        {3, "", true, "Deutsche Lizenz", 16, 7},
        {7, "", true, "Neutral licence", 16, 0},  // Finnish has no text of its own
        {17, "", true, "Chinese licence", 16, 2052},
        {2, "", false, nullptr, 0, 12},  // no French text: nothing to allocate
        {1, "[dsetup]\nEULAExact=1\n", true, "English licence", 15, 9},  // fills the buffer
        {1, "[dsetup]\nEULAResult=0\n", false, "", 16, 9},  // the buffer is the caller's to free
    };
    for (const auto& row : rows) {
        directX("v904", row.ini + texts);
        char* text = reinterpret_cast<char*>(1);
        unsigned size = 99;
        EXPECT_EQ(row.ok, ZKINSTALL_getDirectXEULAText(&text, &size, row.language)) << row.language;
        EXPECT_EQ(row.size, size) << row.language;
        if (!row.text)
            EXPECT_EQ(nullptr, text) << row.language;
        else if (row.ok)
            EXPECT_STREQ(row.text, text) << row.language;
        else
            EXPECT_NE(nullptr, text);
        std::string id = std::to_string(row.id);
        std::string calls = "DirectXSetupGetEULAA(null, 0, " + id + ") in D:\\\n";
        if (row.size)
            calls += "DirectXSetupGetEULAA(buffer, " + std::to_string(row.size) + ", " + id +
                     ") in D:\\\n";
        EXPECT_EQ(calls, log()) << row.language;
        EXPECT_TRUE(ZKINSTALL_freeDirectXEULAText(&text));
        EXPECT_EQ(nullptr, text);
    }
    EXPECT_TRUE(ZKINSTALL_freeDirectXEULAText(nullptr));
}

} // namespace

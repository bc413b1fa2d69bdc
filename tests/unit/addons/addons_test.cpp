// Add-on components: the game's own installers copied, run and deleted by the
// sum of their exit codes, and the download manager started in its folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/addons.h"
#include "zktest/harness.h"

namespace {

// The "start <name>" lines of a fixture record, in order, joined by blanks.
std::string starts(const std::string& record) {
    std::string names;
    for (const std::string& line : zktest::lines(record))
        if (line.rfind("start ", 0) == 0)
            names += (names.empty() ? "" : " ") + line.substr(6);
    return names;
}

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class Addons : public ::testing::Test {
  protected:
    void SetUp() override {
        script.setFallback(IDOK);
        ZKINSTALL_setMessageBox(zktest::MessageScript::callback);
    }
    void TearDown() override {
        SetCurrentDirectoryA(zktest::binDir().c_str());
        for (const std::string& name : planned)
            SetEnvironmentVariableA(("ZKFIXTURE_PLAN_" + name).c_str(), nullptr);
    }
    // A copy of the fixture at `path` that records itself and exits with `code`;
    // code -1 writes a file that is no program at all.
    void program(const std::string& path, const std::string& name, int code) {
        if (code == -1) {
            zktest::writeFile(path, "not a program");
            return;
        }
        ASSERT_TRUE(CopyFileA(fixture.c_str(), path.c_str(), FALSE)) << path;
        planned.push_back(name);
        SetEnvironmentVariableA(("ZKFIXTURE_PLAN_" + name).c_str(),
                                ("record=" + record + "|exit=" + std::to_string(code)).c_str());
    }

    zktest::MessageScript script;
    zktest::ScratchDir disc{"addisc"}, temp{"adtemp"}, work{"adwork"};
    const std::string fixture = zktest::binDir() + "\\zkfixture.exe";
    const std::string record = work / "record.txt";
    std::vector<std::string> planned;
};

TEST_F(Addons, GameInstallersRunUntilTheirSumIsAboveZero) {
    // Blanks, a quote and a trailing backslash: each must reach the program whole.
    const std::string install = "C:\\Program Files\\Zk Game\\", menu = "C:\\Menu\\Say \"hi\"";
    const std::string root = disc.path() + "\\";  // given with a backslash, passed without
    const struct {
        const char* name;
        std::vector<std::pair<const char*, int>> installers;  // in the search's order
        const char *ran, *kept;  // kept: the copies left in the temporary folder
        int sum;
    } rows[] = {
        {"0 and 0: both run and go", {{"a_inst", 0}, {"b_inst", 0}}, "a_inst b_inst", "", 0},
        {"3 stops the run, its copy stays", {{"a_inst", 3}, {"b_inst", 0}}, "a_inst",
         "a_inst b_inst", 3},
        {"a failed start counts -1", {{"a_inst", -1}, {"b_inst", 1}, {"c_inst", 2}},
         "b_inst c_inst", "c_inst", 2},
        {"none on the disc", {}, "", "", 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        DeleteFileA(record.c_str());
        zktest::removeTree(disc.path());
        zktest::makeDirs(disc.path());
        // A stale read-only copy from an earlier run is gone before anything runs.
        program(temp / "old_inst.exe", "old_inst", 0);
        SetFileAttributesA((temp / "old_inst.exe").c_str(), FILE_ATTRIBUTE_READONLY);
        for (const auto& i : r.installers)
            program(disc / (std::string(i.first) + ".exe"), i.first, i.second);
        zktest::writeFile(disc / "readme_inst.txt", "");

        script.clear();
        zk::CZKAddons addons;
        zk::AddonFacts facts{root.c_str(), install.c_str(), menu.c_str(), temp.path().c_str(), 7};
        EXPECT_EQ(r.sum, addons.runGameInstallers(facts));

        const std::string log = zktest::readFile(record);
        EXPECT_EQ(r.ran, starts(log));
        const std::string args = "argc: 5\narg1: " + disc.path() + "\narg2: " + install +
                                 "\narg3: " + menu + "\narg4: 7\ncwd: " + temp.path() + "\n";
        EXPECT_EQ(count(log, "start "), count(log, args)) << log;
        std::string kept;
        for (const auto& i : r.installers)
            if (zktest::exists(temp / (std::string(i.first) + ".exe")))
                kept += (kept.empty() ? "" : " ") + std::string(i.first);
        EXPECT_EQ(r.kept, kept);
        EXPECT_FALSE(zktest::exists(temp / "old_inst.exe"));
        // Only the program that is none reports its failed start.
        EXPECT_EQ(r.installers.size() == 3 ? 1u : 0u, script.calls().size());
        for (const auto& i : r.installers)
            DeleteFileA((temp / (std::string(i.first) + ".exe")).c_str());
    }
}

TEST_F(Addons, DownloadManagerStartsInItsFolder) {
    const std::string tools = work / "zk tools";
    zktest::makeDirs(tools);
    program(tools + "\\zkd.exe", "zkd", 0);
    const struct {
        const char* name;
        std::string path, cwd;  // cwd empty: nothing starts
    } rows[] = {
        {"overlong path", tools + "\\" + std::string(300, 'x') + "\\zkd.exe", ""},
        {"no such program", tools + "\\none.exe", ""},
        {"folder path", tools + "\\zkd.exe", tools},
        {"forward slash", work.path() + "/zk tools/zkd.exe", tools},
        {"bare name in the current folder", "zkd.exe", tools},
    };
    ASSERT_TRUE(SetCurrentDirectoryA(tools.c_str()));
    size_t started = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        zk::CZKAddons().launchZKD(r.path.c_str());
        if (r.cwd.empty())
            continue;
        ++started;
        std::string log;
        for (int i = 0; i < 200 && count(log, "\nend zkd") < started; ++i) {
            Sleep(50);
            log = zktest::readFile(record);
        }
        EXPECT_EQ(started, count(log, "\nend zkd")) << log;
        EXPECT_EQ(started, count(log, "cwd: " + r.cwd + "\nend")) << log;
    }
    EXPECT_TRUE(script.calls().empty());
}

} // namespace

// The relative-path guard shared by file lists, the install log and archives.
#include <gtest/gtest.h>

#include "platform/relpath.h"

namespace {

TEST(RelativePath, OnlyPathsThatStayInsideTheFolderPass) {
    const struct {
        const char* path;
        bool safe;
    } cases[] = {
        {"a.txt", true},          {"Data\\maps.pak", true},  {"Data/", true},
        {"a..b", true},           {"..hidden\\x", true},     {"x\\.\\y", true},
        {". \\x", true},          {"Maps\\*.* /s", true},    {"", false},
        {nullptr, false},         {"\\x", false},            {"/x", false},
        {"\\\\server\\s", false}, {"//server/s", false},     {"C:\\x", false},
        {"C:x", false},           {"a.txt:stream", false},   {"..", false},
        {"..\\x", false},         {"a/../../b", false},      {"a\\..", false},
        {"a\\.. \\b", false},     {"a\\...\\b", false},      {"a\\. .\\b", false},
        {"a\tb", false},          {"line\nbreak", false},    {"a\x7F", false},
        {"nul.txt", false},       {"Data\\COM1 ", false},    {"aux\\x", false},
        {"CONOUT$.", false},      {"Data\\con1.txt", true},  {"com0\\lpt10", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.safe, zk::isSafeRelativePath(c.path)) << (c.path ? c.path : "(null)");
}

} // namespace

// Texts with numbered placeholders (translations reorder them; a text never
// reads an argument that is not there), and naming a language.
#include <gtest/gtest.h>

#include "texts.h"

using namespace autorun;

TEST(HostTexts, FillNumberedPlaceholders) {
    const struct {
        std::string pattern;
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {"Install %1 in %2?", {"Zone Keeper", "C:\\G"}, "Install Zone Keeper in C:\\G?"},
        {"%2 <- %1%1", {"a", "b"}, "b <- aa"},
        {"disc %3", {"1"}, "disc "},  // missing argument: nothing, not garbage
        {"100%% of %s, 50% %", {}, "100% of %s, 50% %"},  // lone % and printf's are text
        {"%1", {"%2 stays"}, "%2 stays"},                 // arguments are not expanded again
        {"%9", {"1", "2", "3", "4", "5", "6", "7", "8", "nine"}, "nine"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fillText(c.pattern, c.args), c.expected) << c.pattern;
}

TEST(HostTexts, FindALanguageByNumberNameOrPrefix) {
    const std::vector<LanguageEntry> table = {
        {1, "English US", "en-us"}, {3, "German", "de"}, {25, "Spanish (Mexican)", "es-mex"}};
    const std::pair<std::string, int> cases[] = {
        {"german", 3}, {"DE", 3},   {"3", 3},  {"en_us", 1}, {"Spanish (MEXICAN)", 25},
        {"English", 0},  // not a name of its own
        {"4", 0},        {"007", 0}, {"", 0},  {"xx", 0},    {"1000", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findLanguage(c.first, table), c.second) << c.first;
}

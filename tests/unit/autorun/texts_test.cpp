// Texts with numbered placeholders (translations reorder them; a text must
// never read an argument that is not there), and naming a language.
#include <gtest/gtest.h>

#include "texts.h"

using autorun::fillText;
using autorun::findLanguage;
using autorun::LanguageEntry;

TEST(HostTexts, FillNumberedPlaceholders) {
    struct Case {
        std::string pattern;
        std::vector<std::string> args;
        std::string expected;
    };
    const Case cases[] = {
        {"Install %1 in %2?", {"Zone Keeper", "C:\\Games"}, "Install Zone Keeper in C:\\Games?"},
        {"%2 <- %1", {"a", "b"}, "b <- a"},
        {"%1%1", {"ab"}, "abab"},
        {"disc %3", {"1"}, "disc "},           // missing argument: nothing, not garbage
        {"100%% done", {}, "100% done"},
        {"50% of %1", {"x"}, "50% of x"},     // a lone % is text
        {"%s %d", {"x"}, "%s %d"},            // printf conversions are not ours
        {"ends with %", {}, "ends with %"},
        {"%1", {"%2 stays"}, "%2 stays"},     // arguments are not expanded again
        {"%9", {"1", "2", "3", "4", "5", "6", "7", "8", "nine"}, "nine"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fillText(c.pattern, c.args), c.expected) << c.pattern;
}

TEST(HostTexts, FindALanguageByNumberNameOrPrefix) {
    const std::vector<LanguageEntry> table = {
        {1, "English US", "en-us"}, {2, "French", "fr-fr"}, {3, "German", "de"},
        {19, "English UK", "en-uk"}, {25, "Spanish (Mexican)", "es-mex"}};
    struct Case {
        std::string wanted;
        int expected;
    };
    const Case cases[] = {
        {"German", 3}, {"german", 3}, {"DE", 3}, {"3", 3},
        {"en-us", 1}, {"en_us", 1}, {"English UK", 19}, {"19", 19},
        {"spanish (mexican)", 25}, {"es_mex", 25},
        {"English", 0},   // not a name of its own
        {"4", 0},         // a number that is not in the table
        {"007", 0}, {"", 0}, {"xx", 0}, {"1000", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findLanguage(c.wanted, table), c.expected) << c.wanted;
}

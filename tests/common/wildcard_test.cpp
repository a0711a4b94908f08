#include <gtest/gtest.h>

#include <string>

#include "case_fold.h"
#include "path_rules.h"
#include "wildcard.h"

namespace {

struct PatternCase {
    const char* what;
    const char* patterns;
    const char* name;
    bool matches;
};

void PrintTo(const PatternCase& c, std::ostream* os)
{
    *os << '"' << c.patterns << "\" ~ \"" << c.name << '"';
}

class FilePatterns : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FilePatterns, MatchAsTheFileSearchDoes)
{
    const PatternCase& c = GetParam();
    EXPECT_EQ(rastrex::matchesPattern(c.name, c.patterns), c.matches);
}

const PatternCase kPatternCases[] = {
    {"extension_in_any_case", "*.xwd", "A.XWD", true},
    {"longer_extension", "*.xwd", "a.xwdx", false},
    {"every_name_without_a_dot", "*.*", "plain", true},
    {"one_of_a_list", "*.xwd;*.bmp", "a.bmp", true},
    {"none_of_a_list", "*.xwd;*.bmp", "a.gif", false},
    {"empty_list", "", "a.xwd", false},
    {"stars_back_tracked", "*a*a*a*", "aaa", true},
    {"stars_too_few", "*a*a*a*", "aab", false},
    {"question_mark_is_one_character", "a?", "a", false},
    {"question_mark_needs_one", "a?", "ab", true},
    {"star_in_a_name", "a*", "a*b", true},
    {"shorter_extension", "*.xwd", "a.xw", false},
    {"extension_alone_is_no_name_with_a_dot", "*.xwd", "xwd", false},
    {"name_that_is_an_extension", "*.xwd", ".xwd", true},
    {"other_last_extension", "*.xwd", "a.xwd.bmp", false},
    {"two_dots", "*.c", "a.b.c", true},
    {"star_alone_matches_a_name_without_a_dot", "*", "noext", true},
    {"question_mark_takes_only_one", "a?.bmp", "a12.bmp", false},
    {"brackets_and_parentheses_are_plain", "a+b (1).*", "a+b (1).bmp", true},
    {"square_brackets_are_plain", "a[1].xwd", "a[1].xwd", true},
    {"stars_in_order", "*a*b*", "xaybz", true},
    {"stars_out_of_order", "*a*b*", "xbya", false},
    {"spaces_around_list_patterns", "*.bmp; *.xwd", "a.xwd", true},
#if !defined(_WIN32)
    // Names are UTF-8 here: "?" stands for a whole character, and a
    // character never matches one that only shares its first byte.
    {"question_mark_takes_a_whole_character", "?.xwd", "\xE5\x9B\xB3.xwd", true},
    {"two_bytes_are_not_one_character", "?.xwd", "\xC3\xA9\xC3\xA9.xwd", false},
    {"same_lead_byte_other_character", "\xE5\x9B\xB3*", "\xE5\x9B\xB4.xwd", false},
    {"accented_letters_in_any_case", "\xC3\xA9*.xwd", "\xC3\x89t\xC3\xA9.xwd", true},  // é* ~ Été
    {"cyrillic_in_any_case", "\xD0\xB0.xwd", "\xD0\x90.XWD", true},                         // а ~ А
    {"question_mark_takes_a_character_beyond_16_bits", "?.xwd", "\xF0\x9F\x98\x80.xwd", true},  // ?.xwd ~ 😀.xwd
    // A star skips whole characters: one letter never fills two marks.
    {"star_skips_no_part_of_a_letter", "*??.xwd", "\xE5\x9B\xB3.xwd", false},  // *??.xwd !~ 図.xwd
#endif
};

INSTANTIATE_TEST_SUITE_P(Cases, FilePatterns, ::testing::ValuesIn(kPatternCases),
                         [](const auto& row) { return std::string(row.param.what); });

}  // namespace

namespace {

// One fold for every comparison that ignores case: the file-name patterns
// above, and on Windows the keys that tell whether two dumps of a batch make
// the same bitmap (xwd2bmp's and the window's alike).
TEST(FoldCase, FoldsTheLettersOfEveryAlphabetAndKeepsTheRest)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Shots\\A.XWD", "c:\\shots\\a.xwd"},
        {"\xC3\x89T\xC3\x89.bmp", "\xC3\xA9t\xC3\xA9.bmp"},                  // ÉTÉ -> été
        {"\xC4\x80\xC5\xB9\xC5\xB8", "\xC4\x81\xC5\xBA\xC3\xBF"},            // ĀŹŸ -> āźÿ
        {"\xCE\xA3\xD0\x81\xD0\xAF", "\xCF\x83\xD1\x91\xD1\x8F"},            // ΣЁЯ -> σёя
        {"\xEF\xBC\xA1\xE5\x9B\xB3", "\xEF\xBD\x81\xE5\x9B\xB3"},            // Ａ図 -> ａ図
        {"\xC3\x9F\xF0\x9F\x98\x80", "\xC3\x9F\xF0\x9F\x98\x80"},            // ß😀 as they are
        {"A\xFF\xC3" "B", "a\xFF\xC3" "b"},                                   // stray bytes kept
    };
    for (const auto& [text, folded] : cases)
        EXPECT_EQ(rastrex::foldCase(text), folded) << text;
}

// Lists show names with letters folded, then in byte order.
TEST(FoldCase, ReadingOrder)
{
    const std::vector<std::string> names = {"b.xwd", "\xC3\xA4.xwd", "B.xwd", "Z.xwd", "a.xwd", "\xC3\x84.xwd"};
    std::vector<std::string> shown;
    for (std::size_t i : rastrex::readingOrder(names))
        shown.push_back(names[i]);
    EXPECT_EQ(shown, (std::vector<std::string>{"a.xwd", "B.xwd", "b.xwd", "Z.xwd", "\xC3\x84.xwd", "\xC3\xA4.xwd"}));
}

// A letter from each folded range, at its edges, and the letters just past them.
TEST(FoldCase, FoldsEachRangeToItsEdges)
{
    const std::pair<char32_t, char32_t> cases[] = {
        {U'@', U'@'},     {U'Z', U'z'},     {U'[', U'['},     {0x00C0, 0x00E0}, {0x00D7, 0x00D7},
        {0x00DE, 0x00FE}, {0x0391, 0x03B1}, {0x03A2, 0x03A2}, {0x03AB, 0x03CB}, {0x0400, 0x0450},
        {0x040F, 0x045F}, {0x042F, 0x044F}, {0xFF21, 0xFF41}, {0xFF3A, 0xFF5A}, {0x0100, 0x0101},
        {0x012E, 0x012F}, {0x0130, 0x0130}, {0x0132, 0x0133}, {0x0136, 0x0137}, {0x014A, 0x014B},
        {0x0176, 0x0177}, {0x0460, 0x0461}, {0x0480, 0x0481}, {0x048A, 0x048B}, {0x04BE, 0x04BF},
        {0x1E00, 0x1E01}, {0x1E94, 0x1E95}, {0x1EA4, 0x1EA5}, {0x1EFE, 0x1EFF}, {0x0139, 0x013A},
        {0x0147, 0x0148}, {0x0179, 0x017A}, {0x017D, 0x017E}, {0x04C1, 0x04C2}, {0x04CD, 0x04CE},
        {0x0178, 0x00FF}, {0x00FF, 0x00FF},
    };
    for (const auto& [letter, folded] : cases)
        EXPECT_EQ(rastrex::foldLetter(letter), folded) << std::hex << static_cast<unsigned long>(letter);
}

// The key that tells two spellings of one file apart: folded only where
// names ignore case.
TEST(NameKey, FoldsWhereNamesIgnoreCase)
{
    EXPECT_EQ(rastrex::nameKey("/Shots/\xC3\x89T\xC3\x89.XWD"),
              rastrex::kNamesIgnoreCase ? "/shots/\xC3\xA9t\xC3\xA9.xwd" : "/Shots/\xC3\x89T\xC3\x89.XWD");
}

}  // namespace

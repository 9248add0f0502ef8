// Rewriting one action of a publication: how arguments are written, which lines are actions,
// and that a rewrite changes that line's arguments and nothing else. Publication text is UTF-8
// (u8 literals); plain literals here are Windows-1251, as host strings are.
#include "tshost/PublicationRewrite.h"
#include "tests/native/U8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigrel::tshost {
namespace {

using test::U8;

using Args = std::vector<std::string>;

TEST(PublicationRewriteTest, WritesArgumentsBareOnlyWhenTheyReadBackSo) {
    struct Case {
        std::string argument;
        std::string written;
    };
    const Case cases[] = {
        {"", ""},
        {"Mon1", "Mon1"},
        {"a b", "a b"},
        {"<>", "<>"},
        {"C:\\Temp\\x", "C:\\Temp\\x"},
        {"7,0", "\"7,0\""},
        {" true", "\" true\""},
        {"true\t", "\"true\t\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {U8(u8"Привет, мир"), U8(u8"\"Привет, мир\"")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WriteArgument(c.argument), c.written) << c.argument;
    }
}

TEST(PublicationRewriteTest, SplitsLinesAsTheReaderNumbersThem) {
    const std::string text = "\xEF\xBB\xBF"
                             "a\r\nb\rc\n\nd";
    const std::vector<LineSpan> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 5u);
    const std::vector<std::string> contents{"a", "b", "c", "", "d"};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(text.substr(lines[i].begin, lines[i].end - lines[i].begin), contents[i]) << i;
    }
    EXPECT_EQ(lines[0].begin, 3u); // after the byte-order mark
    EXPECT_EQ(lines[0].next - lines[0].end, 2u);
    EXPECT_EQ(lines[1].next - lines[1].end, 1u);
    EXPECT_EQ(lines[4].next, text.size());
    EXPECT_EQ(SplitLines("a\n").size(), 1u); // a final line end starts no line
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(PublicationRewriteTest, FindsOnlyVigrelCreateStatements) {
    const std::string text = "# note\n"
                             "\t \n"
                             "Set [V], 1\n"
                             "  vigrelCREATE a, V, =, 1, S, true, true\n"
                             "Sub S\n"
                             "EndSub";
    struct Case {
        int line;
        std::string error; // empty: the line is an action
    };
    const Case cases[] = {
        {1, "line 1 is a comment, not a VigrelCreate statement"},
        {2, "line 2 is blank, not a VigrelCreate statement"},
        {3, "line 3 is a Set statement, not a VigrelCreate statement"},
        {4, ""},
        {5, "line 5 is a Sub statement, not a VigrelCreate statement"},
        {6, "line 6 is an EndSub statement, not a VigrelCreate statement"},
        {0, "there is no line 0: the publication has 6 lines"},
        {7, "there is no line 7: the publication has 6 lines"},
        {-1, "there is no line -1: the publication has 6 lines"},
    };
    for (const Case& c : cases) {
        ActionLine action;
        std::string error;
        EXPECT_EQ(FindAction(text, c.line, action, error), c.error.empty()) << c.line;
        EXPECT_EQ(error, c.error) << c.line;
    }
    ActionLine action;
    std::string error;
    ASSERT_TRUE(FindAction(text, 4, action, error));
    EXPECT_EQ(action.args, (Args{"a", "V", "=", "1", "S", "true", "true"}));
}

// The whole text after replacing the arguments of the action on `line`.
std::string Rewrite(const std::string& text, int line, const Args& args) {
    ActionLine action;
    std::string error;
    std::string result;
    EXPECT_TRUE(FindAction(text, line, action, error)) << error;
    EXPECT_TRUE(ReplaceArguments(text, action, args, result, error)) << error;
    return result;
}

TEST(PublicationRewriteTest, ReplacesTheArgumentsAndKeepsEveryOtherByte) {
    struct Case {
        std::string text;
        int line;
        Args args;
        std::string result;
    };
    const Case cases[] = {
        {"Set [V], 1\r\n  VigrelCreate  a,b , c,d,e,f,g  \r\nWait 1\r\n",
         2,
         {"A", "B", "C", "D", "E", "F", "G"},
         "Set [V], 1\r\n  VigrelCreate  A, B, C, D, E, F, G  \r\nWait 1\r\n"},
        {"\xEF\xBB\xBFVIGRELCREATE a,b,c,d,e,f,g",
         1,
         {"", "V", "=", "", "S", "true", ""},
         "\xEF\xBB\xBFVIGRELCREATE , V, =, , S, true,"},
        {"x\rVigrelCreate a,b,c,d,e,f,g\rx",
         2,
         {"7,0", " x", "say \"hi\"", "\xD1\xF7\xB8\xF2", "a b", "true", "\t"},
         U8(u8"x\rVigrelCreate \"7,0\", \" x\", \"say \"\"hi\"\"\", Счёт, a b, true, \"\t\"\rx")},
        {"VigrelCreate \"a\",\"\",c,d,e,f,\"g\"\n",
         1,
         {"a", "", "c", "d", "e", "f", "g"},
         "VigrelCreate a, , c, d, e, f, g\n"},
    };
    for (const Case& c : cases) {
        const std::string result = Rewrite(c.text, c.line, c.args);
        EXPECT_EQ(result, c.result) << c.text;
        ActionLine action;
        std::string error;
        ASSERT_TRUE(FindAction(result, c.line, action, error)) << error;
        EXPECT_EQ(action.args, c.args) << c.text; // reads back exactly
    }
}

TEST(PublicationRewriteTest, RefusesAnArgumentThatALineCannotHold) {
    const std::string text = "VigrelCreate a,b,c,d,e,f,g\n";
    ActionLine action;
    std::string error;
    ASSERT_TRUE(FindAction(text, 1, action, error));
    for (const char* broken : {"1\r\n", "\n", "a\rb"}) {
        std::string result = "untouched";
        EXPECT_FALSE(
            ReplaceArguments(text, action, {"a", "b", "c", broken, "e", "f", "g"}, result, error));
        EXPECT_EQ(error, "argument 4 holds a line break, which a publication's line cannot hold");
        EXPECT_EQ(result, "untouched");
    }
}

} // namespace
} // namespace vigrel::tshost

// The publication reader: what it makes of good text, and the one error line it gives for bad.
// Publication text is UTF-8 (u8 literals); plain literals here are Windows-1251, as host
// strings are.
#include "tests/native/U8.h"
#include "tshost/Publication.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigrel::tshost {
namespace {

using test::U8;

using Args = std::vector<std::string>;

Publication Read(const std::string& text) {
    std::string error;
    const auto publication = ReadPublication(text, "t.pub", error);
    EXPECT_TRUE(publication) << error;
    return publication ? *publication : Publication{};
}

TEST(PublicationReaderTest, GivesOneErrorLineForEachKindOfBadInput) {
    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {"Waitt 100", "t.pub:1: error: unknown statement \"Waitt\""},
        {"\n\n[V] = 1", "t.pub:3: error: unknown statement \"[V]\""},
        {"Print: hello", "t.pub:1: error: unknown statement \"Print:\""},
        {"Set V, 1", "t.pub:1: error: Set needs a variable name in square brackets, such as "
                     "[Counter], not \"V\""},
        {"Assert [a[b]], 1", "t.pub:1: error: Assert needs a variable name in square "
                             "brackets, such as [Counter], not \"[a[b]]\""},
        {"Set [V]", "t.pub:1: error: Set takes a variable and a value, not 1 argument"},
        {"Set [V], a, b", "t.pub:1: error: Set takes a variable and a value, not 3 arguments "
                          "(quote an argument that holds a comma)"},
        {"VigrelCreate Mon1, V, =, 10, S, true",
         "t.pub:1: error: VigrelCreate takes 7 arguments, not 6 arguments"},
        {"VigrelCreate Mon1, V, =, 7,0, S, false, true",
         "t.pub:1: error: VigrelCreate takes 7 arguments, not 8 arguments (quote an argument "
         "that holds a comma)"},
        {"Wait 1.5", "t.pub:1: error: Wait needs a number of milliseconds from 0 to 600000, "
                     "not \"1.5\""},
        {"Wait -1", "t.pub:1: error: Wait needs a number of milliseconds from 0 to 600000, "
                    "not \"-1\""},
        {"Wait 600001", "t.pub:1: error: Wait needs a number of milliseconds from 0 to 600000, "
                        "not \"600001\""},
        {"Wait", "t.pub:1: error: Wait takes a number of milliseconds, not 0 arguments"},
        {"Add [C], x", "t.pub:1: error: Add needs a whole number from -2147483647 to "
                       "2147483647, not \"x\""},
        {"Add [C], 2147483648", "t.pub:1: error: Add needs a whole number from -2147483647 to "
                                "2147483647, not \"2147483648\""},
        {"Wait 000000000000000000600001", "t.pub:1: error: Wait needs a number of milliseconds "
                                          "from 0 to 600000, not "
                                          "\"000000000000000000600001\""},
        {"Message two", "t.pub:1: error: Message needs a message code, not \"two\""},
        {"Action", "t.pub:1: error: Action takes an action number and up to 7 slots, not 0 "
                   "arguments"},
        {"Action 99999999999", "t.pub:1: error: Action needs an action number, not "
                               "\"99999999999\""},
        {"Unload now", "t.pub:1: error: Unload takes nothing or NoClose, not \"now\""},
        {"Print a, b", "t.pub:1: error: Print takes one text, not 2 arguments (quote an "
                       "argument that holds a comma)"},
        {"  Print \"open", "t.pub:1: error: the quote opened at column 9 is never closed"},
        {"Print \"a\" b", "t.pub:1: error: unexpected text after the closing quote at column 11: "
                          "put a comma between arguments"},
        {"Print a\"b\"", "t.pub:1: error: a quote inside the unquoted argument a\"b\": quote the "
                         "whole argument and double the quotes inside it"},
        {U8(u8"Print \"漢字\""),
         U8(u8"t.pub:1: error: \"漢字\" holds a character that Windows-1251 cannot represent")},
        {"Print \"\xFF\"", "t.pub:1: error: the line is not valid UTF-8 text"},
        {std::string("#\nAction 1,\0,,", 14), // found by PublicationFuzz
         "t.pub:2: error: the line holds a NUL character, which no host string can hold"},
        {"EndSub", "t.pub:1: error: EndSub without a Sub"},
        {"Sub A\nEndSub x", "t.pub:2: error: EndSub takes no arguments, not 1 argument"},
        {"Sub A\n  Sub B\nEndSub", "t.pub:2: error: Sub inside Sub \"A\" of line 1: end that "
                                   "one with EndSub first"},
        {"Sub A\nEndSub\nSub a\nEndSub",
         "t.pub:3: error: the subroutine \"A\" is already defined at line 1"},
        {"Print x\nSub A\nPrint y", "t.pub:2: error: the subroutine \"A\" has no EndSub"},
        {"Sub \"\"\nEndSub", "t.pub:1: error: Sub needs a subroutine name, not an empty one"},
        {"Sub A\nGoSub C\nEndSub\nGoSub B\nGoSub A",
         "t.pub:2: error: GoSub to \"C\", a subroutine the publication does not define"},
        {U8(u8"GoSub \"Ещё\""),
         U8(u8"t.pub:1: error: GoSub to \"Ещё\", a subroutine the publication does not define")},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(ReadPublication(c.text, "t.pub", error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

TEST(PublicationReaderTest, SplitsArgumentsWithQuotesBlanksAndEmptyOnes) {
    struct Case {
        std::string line;
        Args args;
    };
    const Case cases[] = {
        {"VigrelCreate Mon1, V, =, \"7,0\", , false, \" true\"",
         {"Mon1", "V", "=", "7,0", "", "false", " true"}},
        {"VigrelCreate  a ,b,c,d,e,f,", {"a", "b", "c", "d", "e", "f", ""}},
        {"Set [Q], \"say \"\"hi\"\", friend\"", {"Q", "say \"hi\", friend"}},
        {"Set [Empty], \"\"", {"Empty", ""}},
        {"Set [Empty],", {"Empty", ""}},
        {"Set [Path], C:\\Temp\\a b  ", {"Path", "C:\\Temp\\a b"}},
        {"Print", {""}},
        {"GoSub \"On Ten\"\nSub \"on ten\"\nEndSub", {"On Ten"}},
        {U8(u8"Set [Город], \"Москва, Россия\""), {"Город", "Москва, Россия"}},
        {"Action 1", {}},
        {"Action -3, a, \"\"", {"a", ""}},
    };
    for (const Case& c : cases) {
        const Publication publication = Read(c.line);
        ASSERT_EQ(publication.main.size(), 1u) << c.line;
        EXPECT_EQ(publication.main[0].args, c.args) << c.line;
    }
}

TEST(PublicationReaderTest, ReadsLeadingZerosAndEveryKindOfLineEnd) {
    struct Case {
        std::string text;
        std::vector<std::int64_t> numbers; // of the main part's statements, in order
        std::vector<int> lines;
    };
    const Case cases[] = {
        {"Wait 0100", {100}, {1}},
        {"Wait 0000000000000000000000000250", {250}, {1}},
        {"Wait 0", {0}, {1}},
        {"Add [C], -0007", {-7}, {1}},
        {"Wait 1\rWait 2\r\rWait 3", {1, 2, 3}, {1, 2, 4}},
        {"Wait 1\r\nWait 2\nWait 3\rWait 4\r\n", {1, 2, 3, 4}, {1, 2, 3, 4}},
        {"Sub A\rEndSub\rWait 5", {5}, {3}},
    };
    for (const Case& c : cases) {
        const Publication publication = Read(c.text);
        std::vector<std::int64_t> numbers;
        std::vector<int> lines;
        for (const Statement& s : publication.main) {
            numbers.push_back(s.number);
            lines.push_back(s.line);
        }
        EXPECT_EQ(numbers, c.numbers) << c.text;
        EXPECT_EQ(lines, c.lines) << c.text;
    }
    std::string error;
    EXPECT_FALSE(ReadPublication("Wait 1\rWait x", "t.pub", error));
    EXPECT_EQ(error, "t.pub:2: error: Wait needs a number of milliseconds from 0 to 600000, not "
                     "\"x\"");
}

TEST(PublicationReaderTest, ReadsStructureNumbersAndLineNumbers) {
    const Publication publication = Read("\xEF\xBB\xBF# a comment\r\n"
                                         "\r\n"
                                         "wait 250\r\n"
                                         "  SUB OnTen\r\n"
                                         "    add [Counter], -2\r\n"
                                         "    GOSUB later\r\n"
                                         "  endsub\r\n"
                                         "Sub Later\n"
                                         "EndSub\n"
                                         "Unload NOCLOSE\n"
                                         "Message 2\n"
                                         "Action -3\n"
                                         "Unload\n");
    ASSERT_EQ(publication.main.size(), 5u);
    EXPECT_EQ(publication.main[0].kind, StatementKind::Wait);
    EXPECT_EQ(publication.main[0].number, 250);
    EXPECT_EQ(publication.main[0].line, 3);
    EXPECT_EQ(publication.main[1].kind, StatementKind::Unload);
    EXPECT_FALSE(publication.main[1].sendClose);
    EXPECT_EQ(publication.main[1].line, 10);
    EXPECT_EQ(publication.main[2].number, 2);
    EXPECT_EQ(publication.main[3].kind, StatementKind::Action);
    EXPECT_EQ(publication.main[3].number, -3);
    EXPECT_TRUE(publication.main[4].sendClose);

    ASSERT_EQ(publication.subroutines.size(), 2u);
    const Subroutine* onTen = publication.Find("ONTEN");
    ASSERT_NE(onTen, nullptr);
    EXPECT_EQ(onTen->line, 4);
    ASSERT_EQ(onTen->body.size(), 2u);
    EXPECT_EQ(onTen->body[0].kind, StatementKind::Add);
    EXPECT_EQ(onTen->body[0].args, Args({"Counter", "-2"}));
    EXPECT_EQ(onTen->body[0].number, -2);
    EXPECT_EQ(onTen->body[1].line, 6);
    EXPECT_EQ(publication.Find("later"), &publication.subroutines[1]);
    EXPECT_EQ(publication.Find("Nowhere"), nullptr);
}

TEST(PublicationReaderTest, ReadsTheLineAPlugInSends) {
    std::optional<Statement> statement;
    std::string error;
    ASSERT_TRUE(ReadStatement("GoSub \"OnTen\"", 0, statement, error)) << error;
    ASSERT_TRUE(statement);
    EXPECT_EQ(statement->kind, StatementKind::GoSub);
    EXPECT_EQ(statement->args, Args({"OnTen"}));
    // A subroutine name holding a quote makes a line no host can read.
    EXPECT_FALSE(ReadStatement("GoSub \"a\"b\"", 0, statement, error));
    EXPECT_FALSE(statement);
    EXPECT_FALSE(ReadStatement("GoSub \"\"", 0, statement, error));
    EXPECT_EQ(error, "GoSub needs a subroutine name, not an empty one");
    ASSERT_TRUE(ReadStatement("   # nothing", 0, statement, error));
    EXPECT_FALSE(statement);
}

TEST(PublicationReaderTest, SplitsAPrintTextAtItsVariables) {
    struct Case {
        std::string text;
        std::string pieces; // variables in braces
    };
    const Case cases[] = {
        {"", ""},
        {"[a] is [B c]!", "{a}| is |{B c}|!"},
        {"[[a]] [b", "[|{a}|] [b"},
        {"[] a]b[c[", "{}| a]b[c["},
    };
    for (const Case& c : cases) {
        std::string pieces;
        for (const TextPiece& piece : SplitVariables(c.text)) {
            pieces +=
                (pieces.empty() ? "" : "|") +
                (piece.variable ? "{" + std::string(piece.text) + "}" : std::string(piece.text));
        }
        EXPECT_EQ(pieces, c.pieces) << c.text;
    }
}

} // namespace
} // namespace vigrel::tshost

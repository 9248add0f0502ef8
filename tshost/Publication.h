// The publication script language of the host stand-in: one statement a line, read from UTF-8
// text and checked as a whole before anything runs. Plain C++: a line is checked as UTF-8 before
// it is parsed, the parse looks only at its ASCII (no byte of a longer UTF-8 character is one),
// and the texts a statement carries are converted to Windows-1251, the code page of host
// strings, once it is read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vigrel::tshost {

enum class StatementKind {
    Set,          // Set [Name], value
    Add,          // Add [Name], number
    Assert,       // Assert [Name], value
    VigrelCreate, // VigrelCreate seven arguments
    Action,       // Action number, slot...
    GoSub,        // GoSub "Name"
    Wait,         // Wait milliseconds
    Print,        // Print text
    Message,      // Message code
    Unload,       // Unload [NoClose]
    Sub,          // Sub Name: starts a subroutine
    EndSub,       // ends it
};

// The statement word of a kind, as the language spells it ("VigrelCreate").
std::string_view Keyword(StatementKind kind);

// The blanks of the language, which surround statement words and bare arguments: space and tab.
bool IsBlank(char c);

// Where a part of a text stands: from offset `begin` up to offset `end`.
struct TextSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

struct Statement {
    StatementKind kind;
    int line = 0;
    // Texts in Windows-1251: the bare variable name (no brackets) first for Set, Add and Assert,
    // the subroutine name for GoSub and Sub, the slots for VigrelCreate and Action.
    std::vector<std::string> args;
    std::int64_t number = 0; // Add, Wait, Message, Action
    bool sendClose = true;   // Unload
    // Where the arguments stand in the line read: from the first character after the blanks
    // that follow the statement word to the last character of the line that is not a blank.
    TextSpan arguments;
};

struct Subroutine {
    std::string name; // Windows-1251
    int line = 0;
    std::vector<Statement> body;
};

struct Publication {
    std::string file;
    std::vector<Statement> main;
    std::vector<Subroutine> subroutines;

    // The subroutine of that name, letters A to Z in any case; null when there is none.
    const Subroutine* Find(std::string_view name) const;
};

// One line of a publication's text: its content runs from `begin` to `end`, and its line end
// (CR LF, LF, or a CR alone; none on a last line without one) from `end` to `next`.
struct LineSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

// The lines of a publication as the reader numbers them, line 1 first. A byte-order mark at the
// start is not part of line 1, and a line end at the very end starts no further line.
std::vector<LineSpan> SplitLines(std::string_view text);

// Reads a whole publication. On a fault, returns nothing and sets `error` to one line:
// "FILE:LINE: error: what is wrong".
std::optional<Publication> ReadPublication(std::string_view text, const std::string& file,
                                           std::string& error);

// Reads one UTF-8 line. Returns false with the reason in `error` (no file or line prefix);
// leaves `statement` empty for a blank line or a comment.
bool ReadStatement(std::string_view line, int number, std::optional<Statement>& statement,
                   std::string& error);

// A text of a Print statement in pieces, in order: plain text, and the names written [Name] in
// it. A '[' that another '[' follows before any ']' is plain text, as is one never closed.
struct TextPiece {
    std::string_view text;
    bool variable = false;
};
std::vector<TextPiece> SplitVariables(std::string_view text);

} // namespace vigrel::tshost

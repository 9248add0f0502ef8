// The publication script language of the host stand-in: one statement a line, read from UTF-8
// text and checked as a whole before anything runs. Every text a statement carries is converted
// to Windows-1251 here, the code page of host strings.
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

struct Statement {
    StatementKind kind;
    int line = 0;
    // Texts in Windows-1251: the bare variable name (no brackets) first for Set, Add and Assert,
    // the subroutine name for GoSub and Sub, the slots for VigrelCreate and Action.
    std::vector<std::string> args;
    std::int64_t number = 0; // Add, Wait, Message, Action
    bool sendClose = true;   // Unload
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

// Splits an argument list: comma-separated arguments, each bare (blanks around it dropped; no
// quote inside) or in double quotes (taken exactly, "" standing for one quote). Columns in
// error messages count from `firstColumn`, the column of the text's first character.
bool SplitArguments(std::string_view text, std::size_t firstColumn, std::vector<std::string>& args,
                    std::string& error);

} // namespace vigrel::tshost

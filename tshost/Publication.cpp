#include "tshost/Publication.h"

#include "tessary/AsciiCase.h"
#include "tessary/EnumNames.h"
#include "tessary/TessaryAbi.h"
#include "tools/diagnostics/Diagnostics.h"
#include "tshost/Codepage.h"

#include <algorithm>
#include <array>
#include <limits>

namespace vigrel::tshost {
namespace {

// The one table of statement words: each is the spelling of its kind.
constexpr auto keywords = VIGREL_ENUM_NAMES(StatementKind, Set, Add, Assert, VigrelCreate, Action,
                                            GoSub, Wait, Print, Message, Unload, Sub, EndSub);

constexpr std::int64_t MaxWait = 600'000;

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Count(std::size_t count, std::string_view what) {
    return std::to_string(count) + " " + std::string(what) + (count == 1 ? "" : "s");
}

// A whole number with an optional sign, within [low, high].
bool ReadNumber(std::string_view text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Leading zeros carry no value, however many there are.
    while (text.size() > 1 && text.front() == '0') {
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 18) {
        return false;
    }
    std::int64_t result = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        result = result * 10 + (c - '0');
    }
    result = negative ? -result : result;
    if (result < low || result > high) {
        return false;
    }
    value = result;
    return true;
}

// "[Name]" gives Name; anything else is a fault described in `error`.
bool ReadVariable(std::string_view keyword, std::string_view text, std::string& name,
                  std::string& error) {
    const bool bracketed = text.size() >= 3 && text.front() == '[' && text.back() == ']';
    const std::string_view inner = bracketed ? text.substr(1, text.size() - 2) : text;
    if (!bracketed || inner.find_first_of("[]") != std::string_view::npos) {
        error = std::string(keyword) + " needs a variable name in square brackets, such as " +
                "[Counter], not " + Quoted(text);
        return false;
    }
    name = std::string(inner);
    return true;
}

bool CheckCount(std::string_view keyword, const std::vector<std::string>& args, std::size_t low,
                std::size_t high, std::string_view what, std::string& error) {
    if (args.size() >= low && args.size() <= high) {
        return true;
    }
    error = std::string(keyword) + " takes " + std::string(what) + ", not " +
            Count(args.size(), "argument");
    if (high > 0 && args.size() > high) {
        error += " (quote an argument that holds a comma)";
    }
    return false;
}

// Checks the arguments of one statement and fills in what they mean; texts are still UTF-8.
bool Check(Statement& s, std::string& error) {
    const std::string_view keyword = Keyword(s.kind);
    auto& a = s.args;
    auto number = [&](std::size_t index, std::int64_t low, std::int64_t high,
                      std::string_view what) {
        if (ReadNumber(Trim(a[index]), low, high, s.number)) {
            return true;
        }
        error = std::string(keyword) + " needs " + std::string(what) + ", not " + Quoted(a[index]);
        return false;
    };
    constexpr std::int64_t int32Low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t int32High = std::numeric_limits<std::int32_t>::max();
    switch (s.kind) {
    case StatementKind::Set:
    case StatementKind::Assert:
        return CheckCount(keyword, a, 2, 2, "a variable and a value", error) &&
               ReadVariable(keyword, a[0], a[0], error);
    case StatementKind::Add:
        return CheckCount(keyword, a, 2, 2, "a variable and a number", error) &&
               ReadVariable(keyword, a[0], a[0], error) &&
               number(1, -int32High, int32High, "a whole number from -2147483647 to 2147483647");
    case StatementKind::VigrelCreate:
        return CheckCount(keyword, a, MonitorArgumentCount, MonitorArgumentCount, "7 arguments",
                          error);
    case StatementKind::Action:
        if (!CheckCount(keyword, a, 1, 1 + MonitorArgumentCount,
                        "an action number and up to 7 slots", error) ||
            !number(0, int32Low, int32High, "an action number")) {
            return false;
        }
        a.erase(a.begin());
        return true;
    case StatementKind::GoSub:
    case StatementKind::Sub:
        if (!CheckCount(keyword, a, 1, 1, "one subroutine name", error)) {
            return false;
        }
        if (a[0].empty()) {
            error = std::string(keyword) + " needs a subroutine name, not an empty one";
            return false;
        }
        return true;
    case StatementKind::Wait:
        return CheckCount(keyword, a, 1, 1, "a number of milliseconds", error) &&
               number(0, 0, MaxWait, "a number of milliseconds from 0 to 600000");
    case StatementKind::Print:
        if (!CheckCount(keyword, a, 0, 1, "one text", error)) {
            return false;
        }
        a.resize(1);
        return true;
    case StatementKind::Message:
        return CheckCount(keyword, a, 1, 1, "a message code", error) &&
               number(0, int32Low, int32High, "a message code");
    case StatementKind::Unload:
        if (!CheckCount(keyword, a, 0, 1, "nothing or NoClose", error)) {
            return false;
        }
        if (a.size() == 1 && !SameIgnoringAsciiCase(a[0], "NoClose")) {
            error = "Unload takes nothing or NoClose, not " + Quoted(a[0]);
            return false;
        }
        s.sendClose = a.empty();
        a.clear();
        return true;
    case StatementKind::EndSub:
        return CheckCount(keyword, a, 0, 0, "no arguments", error);
    }
    return true;
}

// Splits an argument list: comma-separated arguments, each bare (blanks around it dropped; no
// quote inside) or in double quotes (taken exactly, "" standing for one quote). Columns in
// error messages count from `firstColumn`, the column of the text's first character.
bool SplitArguments(std::string_view text, std::size_t firstColumn, std::vector<std::string>& args,
                    std::string& error) {
    args.clear();
    if (Trim(text).empty()) {
        return true;
    }
    std::size_t at = 0;
    for (;;) {
        while (at < text.size() && IsBlank(text[at])) {
            ++at;
        }
        std::string arg;
        if (at < text.size() && text[at] == '"') {
            const std::size_t opening = at++;
            for (;;) {
                if (at >= text.size()) {
                    error = "the quote opened at column " + std::to_string(firstColumn + opening) +
                            " is never closed";
                    return false;
                }
                if (text[at] == '"') {
                    if (at + 1 < text.size() && text[at + 1] == '"') {
                        arg += '"';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                arg += text[at++];
            }
            while (at < text.size() && IsBlank(text[at])) {
                ++at;
            }
            if (at < text.size() && text[at] != ',') {
                error = "unexpected text after the closing quote at column " +
                        std::to_string(firstColumn + at) + ": put a comma between arguments";
                return false;
            }
        } else {
            const std::size_t end = std::min(text.find(',', at), text.size());
            const std::string_view bare = Trim(text.substr(at, end - at));
            if (bare.find('"') != std::string_view::npos) {
                error = "a quote inside the unquoted argument " + std::string(bare) +
                        ": quote the whole argument and double the quotes inside it";
                return false;
            }
            arg = bare;
            at = end;
        }
        args.push_back(std::move(arg));
        if (at >= text.size()) {
            return true;
        }
        ++at; // the comma
    }
}

} // namespace

const Subroutine* Publication::Find(std::string_view name) const {
    const auto found =
        std::find_if(subroutines.begin(), subroutines.end(),
                     [&](const Subroutine& s) { return SameIgnoringAsciiCase(s.name, name); });
    return found != subroutines.end() ? &*found : nullptr;
}

std::string_view Keyword(StatementKind kind) {
    return keywords[kind];
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool ReadStatement(std::string_view line, int number, std::optional<Statement>& statement,
                   std::string& error) {
    statement.reset();
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    const std::string_view text = Trim(line);
    if (text.empty() || text.front() == '#') {
        return true;
    }
    if (!IsValidUtf8(text)) {
        error = "the line is not valid UTF-8 text";
        return false;
    }
    // A host string ends at its first NUL: the plug-in would see less than the line says.
    if (text.find('\0') != std::string_view::npos) {
        error = "the line holds a NUL character, which no host string can hold";
        return false;
    }
    std::size_t end = 0;
    while (end < text.size() && IsLetter(text[end])) {
        ++end;
    }
    const std::string_view word = text.substr(0, end);
    const auto keyword = std::find_if(keywords.begin(), keywords.end(), [&](std::string_view k) {
        return SameIgnoringAsciiCase(k, word);
    });
    if (word.empty() || keyword == keywords.end() || (end < text.size() && !IsBlank(text[end]))) {
        const std::size_t blank = text.find_first_of(" \t");
        error = "unknown statement " + Quoted(text.substr(0, blank));
        return false;
    }
    Statement s{static_cast<StatementKind>(keyword - keywords.begin()), number, {}, 0, true, {}};
    const std::size_t wordEnd = static_cast<std::size_t>(text.data() - line.data()) + end;
    if (!SplitArguments(text.substr(end), wordEnd + 1, s.args, error) || !Check(s, error)) {
        return false;
    }
    s.arguments.begin = wordEnd;
    while (s.arguments.begin < line.size() && IsBlank(line[s.arguments.begin])) {
        ++s.arguments.begin;
    }
    s.arguments.end = std::max(s.arguments.begin, wordEnd + text.size() - end);
    for (std::string& arg : s.args) {
        std::string converted;
        if (!Utf8ToCp1251(arg, converted)) {
            error = Quoted(arg) + " holds a character that Windows-1251 cannot represent";
            return false;
        }
        arg = std::move(converted);
    }
    statement = std::move(s);
    return true;
}

std::vector<TextPiece> SplitVariables(std::string_view text) {
    std::vector<TextPiece> pieces;
    std::size_t plain = 0; // where the plain text not yet taken begins
    std::size_t open = text.find('[');
    while (open != std::string_view::npos) {
        const std::size_t close = text.find_first_of("[]", open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        if (text[close] == '[') {
            open = close;
            continue;
        }
        if (open > plain) {
            pieces.push_back({text.substr(plain, open - plain), false});
        }
        pieces.push_back({text.substr(open + 1, close - open - 1), true});
        plain = close + 1;
        open = text.find('[', plain);
    }
    if (plain < text.size()) {
        pieces.push_back({text.substr(plain), false});
    }
    return pieces;
}

std::vector<LineSpan> SplitLines(std::string_view text) {
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    std::size_t at = text.substr(0, bom.size()) == bom ? bom.size() : 0;
    std::vector<LineSpan> lines;
    while (at < text.size()) {
        LineSpan line;
        line.begin = at;
        line.end = std::min(text.find_first_of("\r\n", at), text.size());
        line.next = line.end;
        if (line.next < text.size()) {
            line.next += text.compare(line.next, 2, "\r\n") == 0 ? 2 : 1;
        }
        lines.push_back(line);
        at = line.next;
    }
    return lines;
}

std::optional<Publication> ReadPublication(std::string_view text, const std::string& file,
                                           std::string& error) {
    auto fail = [&](int line, const std::string& message) {
        error = ErrorAt(file, line, message);
        return std::nullopt;
    };
    Publication publication;
    publication.file = file;
    // The subroutine being read; the list grows only while none is open, so this stays valid.
    Subroutine* open = nullptr;
    int number = 0;
    for (const LineSpan& span : SplitLines(text)) {
        const std::string_view line = text.substr(span.begin, span.end - span.begin);
        ++number;
        std::optional<Statement> statement;
        if (!ReadStatement(line, number, statement, error)) {
            return fail(number, error);
        }
        if (!statement) {
            continue;
        }
        if (statement->kind == StatementKind::Sub) {
            if (open != nullptr) {
                const Subroutine& outer = *open;
                return fail(number, "Sub inside Sub " + Quoted(Cp1251ToUtf8(outer.name)) +
                                        " of line " + std::to_string(outer.line) +
                                        ": end that one with EndSub first");
            }
            if (const Subroutine* twin = publication.Find(statement->args[0])) {
                return fail(number, "the subroutine " + Quoted(Cp1251ToUtf8(twin->name)) +
                                        " is already defined at line " +
                                        std::to_string(twin->line));
            }
            publication.subroutines.push_back({statement->args[0], number, {}});
            open = &publication.subroutines.back();
        } else if (statement->kind == StatementKind::EndSub) {
            if (open == nullptr) {
                return fail(number, "EndSub without a Sub");
            }
            open = nullptr;
        } else {
            (open != nullptr ? open->body : publication.main).push_back(std::move(*statement));
        }
    }
    if (open != nullptr) {
        const Subroutine& unended = *open;
        return fail(unended.line,
                    "the subroutine " + Quoted(Cp1251ToUtf8(unended.name)) + " has no EndSub");
    }
    // Every GoSub of the publication itself must reach a subroutine; report the first by line.
    const Statement* missing = nullptr;
    auto check = [&](const std::vector<Statement>& statements) {
        for (const Statement& s : statements) {
            if (s.kind == StatementKind::GoSub && publication.Find(s.args[0]) == nullptr &&
                (missing == nullptr || s.line < missing->line)) {
                missing = &s;
            }
        }
    };
    check(publication.main);
    for (const Subroutine& sub : publication.subroutines) {
        check(sub.body);
    }
    if (missing != nullptr) {
        return fail(missing->line, "GoSub to " + Quoted(Cp1251ToUtf8(missing->args[0])) +
                                       ", a subroutine the publication does not define");
    }
    return publication;
}

} // namespace vigrel::tshost

#include "tshost/PublicationRewrite.h"

#include "tshost/Codepage.h"

#include <optional>

namespace vigrel::tshost {

std::string WriteArgument(std::string_view utf8) {
    const bool bare = utf8.empty() || (utf8.find_first_of(",\"") == std::string_view::npos &&
                                       !IsBlank(utf8.front()) && !IsBlank(utf8.back()));
    if (bare) {
        return std::string(utf8);
    }
    std::string quoted = "\"";
    for (const char c : utf8) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

bool FindAction(std::string_view text, int number, ActionLine& action, std::string& error) {
    const std::vector<LineSpan> lines = SplitLines(text);
    if (number < 1 || static_cast<std::size_t>(number) > lines.size()) {
        error = "there is no line " + std::to_string(number) + ": the publication has " +
                std::to_string(lines.size()) + (lines.size() == 1 ? " line" : " lines");
        return false;
    }
    const LineSpan span = lines[static_cast<std::size_t>(number) - 1];
    const std::string_view line = text.substr(span.begin, span.end - span.begin);
    std::optional<Statement> statement;
    if (!ReadStatement(line, number, statement, error)) {
        return false;
    }
    const std::string what = "line " + std::to_string(number) + " is ";
    if (!statement) {
        const std::size_t first = line.find_first_not_of(" \t");
        error = what + (first == std::string_view::npos ? "blank" : "a comment") +
                ", not a VigrelCreate statement";
        return false;
    }
    if (statement->kind != StatementKind::VigrelCreate) {
        const std::string_view name = Keyword(statement->kind);
        const bool vowel = std::string_view("AEIOU").find(name.front()) != std::string_view::npos;
        error = what + (vowel ? "an " : "a ") + std::string(name) +
                " statement, not a VigrelCreate statement";
        return false;
    }
    action.number = number;
    action.span = span;
    action.arguments = {span.begin + statement->arguments.begin,
                        span.begin + statement->arguments.end};
    action.args = std::move(statement->args);
    return true;
}

bool ReplaceArguments(std::string_view text, const ActionLine& action,
                      const std::vector<std::string>& args, std::string& result,
                      std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].find_first_of("\r\n") != std::string::npos) {
            error = "argument " + std::to_string(i + 1) +
                    " holds a line break, which a publication's line cannot hold";
            return false;
        }
    }
    std::string written;
    for (std::size_t i = 0; i < args.size(); ++i) {
        written += (i > 0 ? ", " : "") + WriteArgument(Cp1251ToUtf8(args[i]));
    }
    // An empty last argument leaves the separator's blank at the end.
    while (!written.empty() && IsBlank(written.back())) {
        written.pop_back();
    }
    const TextSpan& old = action.arguments;
    std::string line(text.substr(action.span.begin, old.begin - action.span.begin));
    line += written;
    line += text.substr(old.end, action.span.end - old.end);

    // The line must read back as exactly these arguments, or the file would lose them.
    std::optional<Statement> statement;
    std::string reason;
    const bool read = ReadStatement(line, action.number, statement, reason);
    if (!read || !statement || statement->kind != StatementKind::VigrelCreate ||
        statement->args != args) {
        error = "the new arguments do not read back as they were given";
        return false;
    }
    result = std::string(text.substr(0, action.span.begin));
    result += line;
    result += text.substr(action.span.end);
    return true;
}

} // namespace vigrel::tshost

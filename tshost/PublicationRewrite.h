// Rewriting one VigrelCreate statement of a publication with new arguments, every other byte of
// the text kept: the other lines, the line ends, a byte-order mark, what stands before the
// statement word, the word as it is spelled, and the blanks after the last argument.
#pragma once

#include "tshost/Publication.h"

#include <string>
#include <string_view>
#include <vector>

namespace vigrel::tshost {

// A VigrelCreate statement found in a publication's text.
struct ActionLine {
    int number = 0;
    LineSpan span;
    TextSpan arguments; // where the arguments stand in the text, as the statement has them
    std::vector<std::string> args; // Windows-1251, in slot order
};

// An argument (UTF-8) as the publication language writes it: bare when it can be (the empty
// text, or a text without a comma or a double quote and without a blank at either end), else in
// double quotes with every quote inside doubled.
std::string WriteArgument(std::string_view utf8);

// Finds the VigrelCreate statement on line `number` of `text`. False, with `error` saying what
// the line is instead (absent, blank, a comment, another statement), when there is none.
bool FindAction(std::string_view text, int number, ActionLine& action, std::string& error);

// `text` with the arguments of `action` replaced by `args` (seven Windows-1251 texts), written
// as WriteArgument does and separated by a comma and a blank. False, with `error`, when an
// argument cannot be written so that the line reads back as exactly these texts (a line break
// inside one, for instance).
bool ReplaceArguments(std::string_view text, const ActionLine& action,
                      const std::vector<std::string>& args, std::string& result,
                      std::string& error);

} // namespace vigrel::tshost

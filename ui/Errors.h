// The toolkit's own error types, for failures that callers may want to tell from others.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace vigrel {

// An object was given where another kind was required: a component placed on an owner of the
// wrong class, say.
class EInvalidCast : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A fault at a line of a text source: a form resource, or a drawing. The 1-based line and the
// message are kept apart, for a report that names the file as well ("FILE:LINE: error: MESSAGE");
// what() reads "line LINE: MESSAGE".
class SourceError : public std::runtime_error {
public:
    SourceError(int line, std::string message)
        : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line),
          message_(std::move(message)) {}
    int Line() const { return line_; }
    const std::string& Message() const { return message_; }

private:
    int line_;
    std::string message_;
};

} // namespace vigrel

#include "ui/FormResource.h"

#include <algorithm>
#include <charconv>

namespace vigrel {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The lines that carry content, trimmed of blanks at both ends and of the CR of a CRLF ending;
// blank lines and comment lines (starting with //) are skipped.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {
        if (text_.starts_with("\xEF\xBB\xBF")) {
            text_.remove_prefix(3);
        }
    }

    bool Next() {
        while (position_ < text_.size()) {
            std::size_t end = text_.find('\n', position_);
            if (end == std::string_view::npos) {
                end = text_.size();
            }
            std::string_view line = text_.substr(position_, end - position_);
            position_ = end + 1;
            ++number_;
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            while (!line.empty() && IsSpace(line.front())) {
                line.remove_prefix(1);
            }
            while (!line.empty() && IsSpace(line.back())) {
                line.remove_suffix(1);
            }
            if (!line.empty() && !line.starts_with("//")) {
                current_ = line;
                return true;
            }
        }
        return false;
    }

    std::string_view Current() const { return current_; }
    int Number() const { return number_; }

private:
    std::string_view text_;
    std::size_t position_ = 0;
    std::string_view current_;
    int number_ = 0;
};

// One line, read from left to right.
class Cursor {
public:
    Cursor(std::string_view text, int line) : text_(text), line_(line) {}

    bool AtEnd() const { return text_.empty(); }
    std::string_view Rest() const { return text_; }
    char Peek() const { return text_.empty() ? '\0' : text_.front(); }
    char Get() {
        const char c = text_.front();
        text_.remove_prefix(1);
        return c;
    }
    bool Take(char c) {
        if (Peek() != c || AtEnd()) {
            return false;
        }
        text_.remove_prefix(1);
        return true;
    }
    void SkipSpaces() {
        while (!AtEnd() && IsSpace(Peek())) {
            text_.remove_prefix(1);
        }
    }
    // The identifier at the cursor, empty when there is none.
    std::string_view Identifier() {
        if (AtEnd() || !IsIdentifierStart(Peek())) {
            return {};
        }
        return TakeWhile(IsIdentifierChar);
    }
    std::string_view TakeWhile(bool (*accept)(char)) {
        std::size_t length = 0;
        while (length < text_.size() && accept(text_[length])) {
            ++length;
        }
        const std::string_view taken = text_.substr(0, length);
        text_.remove_prefix(length);
        return taken;
    }

    [[noreturn]] void Fail(const std::string& message) const { throw SourceError(line_, message); }

private:
    std::string_view text_;
    int line_;
};

bool IsHeader(std::string_view line) {
    return line.starts_with(ReservedWord) &&
           (line.size() == ReservedWord.size() || IsSpace(line[ReservedWord.size()]));
}

class Parser {
public:
    explicit Parser(std::string_view text) : lines_(text) {}

    FormObject Parse() {
        if (!lines_.Next()) {
            throw SourceError(std::max(lines_.Number(), 1), "the resource holds no object");
        }
        FormObject root = Header();
        Body(root, 1);
        if (lines_.Next()) {
            throw SourceError(lines_.Number(), "text after the end of the root object");
        }
        return root;
    }

private:
    Cursor Line() const { return Cursor(lines_.Current(), lines_.Number()); }

    FormObject Header() {
        Cursor cursor = Line();
        if (!IsHeader(lines_.Current())) {
            cursor.Fail("expected \"object Name: Class\"");
        }
        cursor.Identifier(); // the keyword
        cursor.SkipSpaces();
        FormObject object;
        object.line = lines_.Number();
        object.name = cursor.Identifier();
        if (object.name.empty()) {
            cursor.Fail("expected the object's name after \"object\"");
        }
        cursor.SkipSpaces();
        if (!cursor.Take(':')) {
            cursor.Fail("expected ':' after the object's name");
        }
        cursor.SkipSpaces();
        object.className = cursor.Identifier();
        if (object.className.empty()) {
            cursor.Fail("expected a class name after ':'");
        }
        if (!cursor.AtEnd()) {
            cursor.Fail("unexpected text after the class name");
        }
        return object;
    }

    void Body(FormObject& object, int depth) {
        while (lines_.Next()) {
            if (lines_.Current() == "end") {
                return;
            }
            if (IsHeader(lines_.Current())) {
                if (depth == MaxFormDepth) {
                    Line().Fail("objects nested more than " + std::to_string(MaxFormDepth) +
                                " deep");
                }
                FormObject child = Header();
                Body(child, depth + 1);
                object.children.push_back(std::move(child));
            } else if (!object.children.empty()) {
                Line().Fail("properties of " + object.name + " must come before its objects");
            } else {
                object.properties.push_back(Property());
            }
        }
        throw SourceError(object.line, "object " + object.name + " has no \"end\"");
    }

    FormProperty Property() {
        Cursor cursor = Line();
        FormProperty property;
        property.line = lines_.Number();
        property.name = cursor.Identifier();
        if (property.name.empty()) {
            cursor.Fail("expected \"Name = value\", \"object\" or \"end\"");
        }
        if (property.name == ReservedWord) {
            cursor.Fail("\"object\" cannot name a property");
        }
        while (cursor.Take('.')) {
            const std::string_view part = cursor.Identifier();
            if (part.empty()) {
                cursor.Fail("expected a name after '.'");
            }
            property.name += '.';
            property.name += part;
        }
        cursor.SkipSpaces();
        if (!cursor.Take('=')) {
            cursor.Fail("expected '=' after " + property.name);
        }
        cursor.SkipSpaces();
        if (cursor.Rest() == "{") {
            property.value = BinaryBlock(property.line);
            return property;
        }
        property.value = Value(cursor);
        cursor.SkipSpaces();
        if (!cursor.AtEnd()) {
            cursor.Fail("unexpected text after the value of " + property.name);
        }
        return property;
    }

    static FormValue Value(Cursor& cursor) {
        FormValue value;
        const char first = cursor.Peek();
        if (first == '"') {
            value.kind = FormValue::Kind::String;
            value.text = String(cursor);
        } else if (first == '$') {
            value.kind = FormValue::Kind::HexNumber;
            value.number = HexNumber(cursor);
        } else if (first == '-' || (first >= '0' && first <= '9')) {
            value.kind = FormValue::Kind::Number;
            value.number = Number(cursor);
        } else if (IsIdentifierStart(first)) {
            value.kind = FormValue::Kind::Identifier;
            value.text = cursor.Identifier();
        } else if (cursor.Take('[')) {
            value.kind = FormValue::Kind::Set;
            Items(cursor, ']', value.items);
        } else if (cursor.Take('(')) {
            value.kind = FormValue::Kind::List;
            Items(cursor, ')', value.items);
        } else if (cursor.Take('{')) {
            value.kind = FormValue::Kind::Binary;
            ReadHex(cursor, value.bytes);
            if (!cursor.Take('}')) {
                cursor.Fail("expected hex digits or '}'");
            }
        } else {
            cursor.Fail("expected a value");
        }
        return value;
    }

    static std::string String(Cursor& cursor) {
        cursor.Take('"');
        std::string text;
        for (;;) {
            if (cursor.AtEnd()) {
                cursor.Fail("unterminated string");
            }
            const char c = cursor.Get();
            if (c == '"') {
                return text;
            }
            if (IsControlByte(c)) {
                cursor.Fail("control character in a string: write it as an escape");
            }
            if (c != '\\') {
                text += c;
                continue;
            }
            const char escape = cursor.Peek();
            if (cursor.Take('\\') || cursor.Take('"')) {
                text += escape;
            } else if (cursor.Take('n')) {
                text += '\n';
            } else if (cursor.Take('r')) {
                text += '\r';
            } else if (cursor.Take('t')) {
                text += '\t';
            } else if (cursor.Take('x')) {
                const int high = HexValue(cursor.Peek());
                if (high >= 0) {
                    cursor.Get();
                }
                const int low = HexValue(cursor.Peek());
                if (high < 0 || low < 0) {
                    cursor.Fail("\\x takes two hex digits");
                }
                cursor.Get();
                text += static_cast<char>(high * 16 + low);
            } else {
                cursor.Fail("unknown escape in a string (known: \\\\ \\\" \\n \\r \\t \\xHH)");
            }
        }
    }

    static std::int64_t HexNumber(Cursor& cursor) {
        cursor.Take('$');
        const std::string_view digits = cursor.TakeWhile([](char c) { return HexValue(c) >= 0; });
        if (digits.empty()) {
            cursor.Fail("expected hex digits after '$'");
        }
        if (digits.size() > 8) {
            cursor.Fail("hex number longer than 8 digits");
        }
        std::int64_t number = 0;
        for (const char c : digits) {
            number = number * 16 + HexValue(c);
        }
        return number;
    }

    static std::int64_t Number(Cursor& cursor) {
        const bool negative = cursor.Take('-');
        const std::string_view digits =
            cursor.TakeWhile([](char c) { return c >= '0' && c <= '9'; });
        if (digits.empty()) {
            cursor.Fail("expected digits after '-'");
        }
        std::string text = negative ? "-" : "";
        text += digits;
        std::int64_t number = 0;
        if (std::from_chars(text.data(), text.data() + text.size(), number).ec != std::errc()) {
            cursor.Fail("number out of range");
        }
        return number;
    }

    // The identifiers of a set or the strings of a list, after the opening bracket.
    static void Items(Cursor& cursor, char close, std::vector<std::string>& items) {
        const bool strings = close == ')';
        cursor.SkipSpaces();
        if (cursor.Take(close)) {
            return;
        }
        for (;;) {
            if (strings) {
                if (cursor.Peek() != '"') {
                    cursor.Fail("expected a string in the list");
                }
                items.push_back(String(cursor));
            } else {
                items.emplace_back(cursor.Identifier());
                if (items.back().empty()) {
                    cursor.Fail("expected an identifier in the set");
                }
            }
            cursor.SkipSpaces();
            if (cursor.Take(close)) {
                return;
            }
            if (!cursor.Take(',')) {
                cursor.Fail(std::string("expected ',' or '") + close + "'");
            }
            cursor.SkipSpaces();
        }
    }

    static void ReadHex(Cursor& cursor, std::vector<std::uint8_t>& bytes) {
        const std::string_view digits = cursor.TakeWhile([](char c) { return HexValue(c) >= 0; });
        if (digits.size() % 2 != 0) {
            cursor.Fail("binary data needs an even number of hex digits");
        }
        for (std::size_t i = 0; i < digits.size(); i += 2) {
            bytes.push_back(
                static_cast<std::uint8_t>(HexValue(digits[i]) * 16 + HexValue(digits[i + 1])));
        }
    }

    FormValue BinaryBlock(int line) {
        FormValue value;
        value.kind = FormValue::Kind::Binary;
        while (lines_.Next()) {
            if (lines_.Current() == "}") {
                return value;
            }
            Cursor cursor = Line();
            ReadHex(cursor, value.bytes);
            if (!cursor.AtEnd()) {
                cursor.Fail("expected hex digits or '}'");
            }
        }
        throw SourceError(line, "binary data has no closing '}'");
    }

    Lines lines_;
};

} // namespace

bool IsIdentifierStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsIdentifierChar(char c) {
    return IsIdentifierStart(c) || (c >= '0' && c <= '9');
}

bool IsIdentifier(std::string_view text) {
    return !text.empty() && IsIdentifierStart(text.front()) &&
           std::all_of(text.begin(), text.end(), IsIdentifierChar);
}

bool IsControlByte(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

FormObject ParseForm(std::string_view text) {
    return Parser(text).Parse();
}

} // namespace vigrel

#include "tools/forms/FormWriter.h"

#include <algorithm>
#include <stdexcept>

namespace vigrel {
namespace {

constexpr std::size_t BytesPerLine = 32; // longer binary data goes on lines of its own
constexpr std::string_view HexDigits = "0123456789ABCDEF";
void RequireIdentifier(std::string_view text) {
    if (!IsIdentifier(text)) {
        throw std::invalid_argument("not an identifier: \"" + std::string(text) + "\"");
    }
}

void Indent(std::string& out, int depth) {
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
}

void WriteHex(std::string& out, const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        out += HexDigits[bytes[i] >> 4];
        out += HexDigits[bytes[i] & 0xF];
    }
}

void WriteString(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (IsControlByte(c)) {
                out += "\\x";
                const auto byte = static_cast<std::uint8_t>(c);
                WriteHex(out, &byte, 1);
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

// Writes the value of a property at `depth` and ends its line.
void WriteValue(std::string& out, const FormValue& value, int depth) {
    switch (value.kind) {
    case FormValue::Kind::Number:
        out += std::to_string(value.number);
        break;
    case FormValue::Kind::HexNumber: {
        if (value.number < 0 || value.number > 0xFFFFFFFF) {
            throw std::invalid_argument("hex number out of range: " + std::to_string(value.number));
        }
        const auto number = static_cast<std::uint32_t>(value.number);
        const std::uint8_t bytes[] = {
            static_cast<std::uint8_t>(number >> 24), static_cast<std::uint8_t>(number >> 16),
            static_cast<std::uint8_t>(number >> 8), static_cast<std::uint8_t>(number)};
        out += '$';
        WriteHex(out, bytes, 4);
        break;
    }
    case FormValue::Kind::String:
        WriteString(out, value.text);
        break;
    case FormValue::Kind::Identifier:
        RequireIdentifier(value.text);
        out += value.text;
        break;
    case FormValue::Kind::Set:
    case FormValue::Kind::List: {
        const bool set = value.kind == FormValue::Kind::Set;
        out += set ? '[' : '(';
        for (std::size_t i = 0; i < value.items.size(); ++i) {
            out += i == 0 ? "" : ", ";
            if (set) {
                RequireIdentifier(value.items[i]);
                out += value.items[i];
            } else {
                WriteString(out, value.items[i]);
            }
        }
        out += set ? ']' : ')';
        break;
    }
    case FormValue::Kind::Binary:
        out += '{';
        if (value.bytes.size() <= BytesPerLine) {
            WriteHex(out, value.bytes.data(), value.bytes.size());
        } else {
            for (std::size_t at = 0; at < value.bytes.size(); at += BytesPerLine) {
                out += '\n';
                Indent(out, depth + 1);
                WriteHex(out, value.bytes.data() + at,
                         std::min(BytesPerLine, value.bytes.size() - at));
            }
            out += '\n';
            Indent(out, depth);
        }
        out += '}';
        break;
    }
    out += '\n';
}

void WriteObject(std::string& out, const FormObject& object, int depth) {
    RequireIdentifier(object.name);
    RequireIdentifier(object.className);
    Indent(out, depth);
    out += "object " + object.name + ": " + object.className + "\n";
    for (const FormProperty& property : object.properties) {
        std::string_view path = property.name;
        for (std::size_t dot; (dot = path.find('.')) != std::string_view::npos;) {
            RequireIdentifier(path.substr(0, dot));
            path.remove_prefix(dot + 1);
        }
        RequireIdentifier(path);
        if (property.name.substr(0, property.name.find('.')) == ReservedWord) {
            throw std::invalid_argument("\"object\" cannot name a property");
        }
        Indent(out, depth + 1);
        out += property.name + " = ";
        WriteValue(out, property.value, depth + 1);
    }
    for (const FormObject& child : object.children) {
        WriteObject(out, child, depth + 1);
    }
    Indent(out, depth);
    out += "end\n";
}

} // namespace

std::string WriteFormValue(const FormValue& value, int depth) {
    std::string out;
    WriteValue(out, value, depth + 1);
    out.pop_back();
    return out;
}

std::string WriteForm(const FormObject& form) {
    std::string out;
    WriteObject(out, form, 0);
    return out;
}

} // namespace vigrel

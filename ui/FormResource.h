// Form resources as text (docs/FORM-RESOURCES.md): a tree of objects, each with a name, a class
// name, property lines and nested objects. This layer only reads the text (tools/forms/FormWriter.h
// writes it); it knows nothing of classes or components (ui/FormLoader.h turns the data into
// components).
#pragma once

#include "ui/Errors.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vigrel {

// A malformed resource, or one that does not fit the classes it names, is a SourceError
// (ui/Errors.h) at the line of the problem.

struct FormValue {
    enum class Kind : std::uint8_t {
        Number,     // 42, -7
        HexNumber,  // $00F0CAA6: 0 to 0xFFFFFFFF
        String,     // "text" (bytes)
        Identifier, // clSkyBlue, True, gsLinearV
        Set,        // [fsBold, fsUnderline]: identifiers
        List,       // ("one", "two"): strings
        Binary,     // {0A1B2C}
    };

    Kind kind = Kind::Number;
    std::int64_t number = 0;
    std::string text;                // String, Identifier
    std::vector<std::string> items;  // Set, List
    std::vector<std::uint8_t> bytes; // Binary

    friend bool operator==(const FormValue&, const FormValue&) = default;
};

// Equality of properties and objects compares content, not line numbers.
struct FormProperty {
    std::string name; // identifiers joined by dots: Font.Name
    FormValue value;
    int line = 0;

    friend bool operator==(const FormProperty& a, const FormProperty& b) {
        return a.name == b.name && a.value == b.value;
    }
};

struct FormObject {
    std::string name;
    std::string className;
    std::vector<FormProperty> properties;
    std::vector<FormObject> children;
    int line = 0;

    friend bool operator==(const FormObject& a, const FormObject& b) {
        return a.name == b.name && a.className == b.className && a.properties == b.properties &&
               a.children == b.children;
    }
};

// The lexical rules that the reader and the writer (tools/forms/FormWriter.h) share. An identifier
// (the name of an object, a class, a part of a property name, a value) is ASCII letters, digits
// and '_', not starting with a digit.
bool IsIdentifierStart(char c);
bool IsIdentifierChar(char c);
bool IsIdentifier(std::string_view text);
// Starts an object's header, so it cannot be the first part of a property name.
inline constexpr std::string_view ReservedWord = "object";
// The bytes that a string holds only as escapes.
bool IsControlByte(char c);

// Objects nest at most this deep, the root being depth 1.
inline constexpr int MaxFormDepth = 64;

// Parses a whole resource; throws SourceError naming the line of the first problem.
FormObject ParseForm(std::string_view text);

} // namespace vigrel

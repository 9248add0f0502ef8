#include "tools/pictures/FormPictures.h"

#include "tools/forms/FormWriter.h"
#include "tools/pictures/PixelArt.h"

#include <algorithm>
#include <map>

namespace vigrel {
namespace {

constexpr std::string_view DrawingKeyword = "drawing";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// The value of a property line ("Name = value"), or nothing for any other line.
std::optional<std::string_view> PropertyValue(std::string_view line) {
    line = Trim(line);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || line.starts_with("//")) {
        return std::nullopt;
    }
    return Trim(line.substr(equals + 1));
}

// The drawing's name when `value` is a reference to one: the keyword, then blanks or the quote.
// A bare identifier `drawing` is left to the form's own reader.
std::optional<std::string> DrawingName(std::string_view value, int line) {
    if (!value.starts_with(DrawingKeyword) || value.size() == DrawingKeyword.size() ||
        (!IsBlank(value[DrawingKeyword.size()]) && value[DrawingKeyword.size()] != '"')) {
        return std::nullopt;
    }
    const std::string_view name = Trim(value.substr(DrawingKeyword.size()));
    if (name.size() < 3 || name.front() != '"' || name.back() != '"' ||
        name.substr(1, name.size() - 2).find_first_of("\"\\") != std::string_view::npos) {
        throw SourceError(line, "a drawing is named in double quotes, without escapes: drawing "
                                "\"FILE.pix\"");
    }
    return std::string(name.substr(1, name.size() - 2));
}

void FillPictures(FormObject& object, std::map<int, std::vector<std::uint8_t>>& pictures) {
    for (FormProperty& property : object.properties) {
        const auto picture = pictures.find(property.line);
        if (picture != pictures.end()) {
            property.value.bytes = std::move(picture->second);
        } else if (property.value.kind == FormValue::Kind::Binary &&
                   !property.value.bytes.empty()) {
            throw SourceError(property.line, property.name +
                                                 " holds picture bytes: name its drawing "
                                                 "instead (drawing \"FILE.pix\")");
        }
    }
    for (FormObject& child : object.children) {
        FillPictures(child, pictures);
    }
}

} // namespace

BuiltForm BuildForm(std::string_view source, const DrawingReader& readDrawing) {
    BuiltForm built;
    // Each reference becomes an empty binary value on its own line, so the reader's line numbers
    // stay those of the source; the drawing's bytes go in once the form has parsed.
    std::string parseable;
    std::map<int, std::vector<std::uint8_t>> pictures;
    int line = 0;
    for (std::size_t start = 0; start < source.size() || line == 0;) {
        ++line;
        const std::size_t end = std::min(source.find('\n', start), source.size());
        const std::string_view text = source.substr(start, end - start);
        start = end + 1;
        const auto value = PropertyValue(text);
        const auto name = value ? DrawingName(*value, line) : std::nullopt;
        if (!name) {
            parseable.append(text);
            parseable += '\n';
            continue;
        }
        const std::optional<std::string> drawing = readDrawing(*name);
        if (!drawing) {
            throw SourceError(line, "cannot read the drawing " + *name);
        }
        try {
            pictures[line] = EncodePixelArt(ParsePixelArt(*drawing));
        } catch (const SourceError& error) {
            throw SourceError(line, *name + ": " + error.what());
        }
        built.drawings.push_back(*name);
        parseable.append(text.substr(0, text.find('=') + 1));
        parseable += " {}\n";
    }
    FormObject form = ParseForm(parseable);
    FillPictures(form, pictures);
    built.text = WriteForm(form);
    return built;
}

} // namespace vigrel

#include "tools/pictures/PictureCheck.h"

#include "tools/pictures/PixelArt.h"

#include <algorithm>

namespace vigrel {
namespace {

const FormObject* FindObject(const FormObject& object, std::string_view name) {
    if (object.name == name) {
        return &object;
    }
    for (const FormObject& child : object.children) {
        if (const FormObject* found = FindObject(child, name)) {
            return found;
        }
    }
    return nullptr;
}

} // namespace

const FormProperty& FindFormProperty(const FormObject& form, std::string_view path) {
    const std::size_t dot = path.find('.');
    if (dot == std::string_view::npos) {
        throw PictureMismatch("\"" + std::string(path) + "\" is not Object.Property");
    }
    const std::string_view objectName = path.substr(0, dot);
    const std::string_view propertyName = path.substr(dot + 1);
    const FormObject* object = FindObject(form, objectName);
    if (object == nullptr) {
        throw PictureMismatch("the form has no object " + std::string(objectName));
    }
    const auto property =
        std::find_if(object->properties.begin(), object->properties.end(),
                     [&](const FormProperty& p) { return p.name == propertyName; });
    if (property == object->properties.end()) {
        throw PictureMismatch(std::string(objectName) + " (line " + std::to_string(object->line) +
                              ") has no property " + std::string(propertyName));
    }
    return *property;
}

void CheckFormPicture(std::string_view formText, std::string_view path, std::string_view pixText) {
    const FormObject form = ParseForm(formText);
    const FormProperty& property = FindFormProperty(form, path);
    const std::string where = std::string(path) + " (line " + std::to_string(property.line) + ")";
    if (property.value.kind != FormValue::Kind::Binary) {
        throw PictureMismatch(where + " is not binary data");
    }
    const std::vector<std::uint8_t>& stored = property.value.bytes;
    const std::vector<std::uint8_t> drawn = EncodePixelArt(ParsePixelArt(pixText));
    const auto [inForm, inDrawing] =
        std::mismatch(stored.begin(), stored.end(), drawn.begin(), drawn.end());
    if (inForm == stored.end() && inDrawing == drawn.end()) {
        return;
    }
    std::string message = where + " differs from the drawing: " + std::to_string(stored.size()) +
                          " bytes in the form, " + std::to_string(drawn.size()) +
                          " encoded from the drawing";
    if (inForm != stored.end() && inDrawing != drawn.end()) {
        message += ", first difference at byte " + std::to_string(inForm - stored.begin());
    }
    throw PictureMismatch(message);
}

} // namespace vigrel

// Keeps the pictures of form resources tied to their drawings: finds a binary property of an
// object in a form resource and compares its bytes with the BMP encoding of a drawing
// (tools/pictures/PixelArt.h), so a picture pasted into a form cannot drift from its source unnoticed.
#pragma once

#include "ui/FormResource.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace vigrel {

// A form picture that differs from its drawing, or cannot be found or compared; what() says which
// and where.
class PictureMismatch : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The property `path` names: "Object.Property", where Object is the root or an object nested at
// any depth and Property may itself be dotted ("Font.Name"). Throws PictureMismatch for a path
// without a dot, an unknown object or a property the object does not have.
const FormProperty& FindFormProperty(const FormObject& form, std::string_view path);

// Parses both texts and throws PictureMismatch unless the binary property `path` of the form
// holds exactly the BMP encoding of the drawing; FormError and PixelArtError from the parsers go
// through unchanged.
void CheckFormPicture(std::string_view formText, std::string_view path, std::string_view pixText);

} // namespace vigrel

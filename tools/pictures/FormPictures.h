// A form's source names the drawing of each picture instead of holding its bytes:
//
//     Glyph = drawing "pictures/KnVariable.pix"
//
// BuildForm turns such a source into the form resource the program embeds, each reference
// replaced by the BMP encoding of its drawing (tools/pictures/PixelArt.h), so the drawing is the
// one source of the picture.
#pragma once

#include "ui/FormResource.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vigrel {

// The text of the drawing a form names (as written in the form), or nothing when it cannot be read.
using DrawingReader = std::function<std::optional<std::string>(const std::string& name)>;

struct BuiltForm {
    std::string text;                  // the canonical form resource
    std::vector<std::string> drawings; // the names of the drawings it was built from, in order
};

// Builds the form resource of `source`. Throws SourceError naming the source's line for a reference
// that is not `drawing "NAME"`, a drawing that cannot be read or does not parse (the message
// quotes the drawing's own error), picture bytes written into the source, or anything else
// ParseForm refuses.
BuiltForm BuildForm(std::string_view source, const DrawingReader& readDrawing);

} // namespace vigrel

// The canonical text of form resources (docs/FORM-RESOURCES.md): what ParseForm
// (ui/FormResource.h) reads back to equal data. The program only reads forms; the tools and the
// tests write them.
#pragma once

#include "ui/FormResource.h"

#include <string>

namespace vigrel {

// The canonical text of `form`, which ParseForm reads back to equal data. Throws
// std::invalid_argument for a name or identifier that the format cannot hold.
std::string WriteForm(const FormObject& form);

// The canonical text of `value` as it follows "Name = " on a property line of an object nested
// `depth` levels below the root (0 for the root's own properties), without the line end: long
// binary data is broken into blocks indented for that place.
std::string WriteFormValue(const FormValue& value, int depth);

} // namespace vigrel

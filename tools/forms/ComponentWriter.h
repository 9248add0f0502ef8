// Writes components back as form-resource data: each component's stored properties in
// declaration order, nested as its parents are. The tests use it to read a resource, write it back
// and compare; the program only reads.
#pragma once

#include "ui/FormLoader.h"

#include <string>

namespace vigrel {

// The data of `root` and of the components it owns, each nested in its parent component (at the
// top level when it has none among them); only stored properties are written.
FormObject WriteComponent(const TComponent& root, const TextConversion& conversion = {});
std::string WriteComponentResource(const TComponent& root, const TextConversion& conversion = {});

} // namespace vigrel

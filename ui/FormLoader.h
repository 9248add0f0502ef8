// Turns form-resource data into components: creates the nested objects by class name through a
// ClassRegistry and assigns properties by name (tools/forms/ComponentWriter.h writes components
// back).
#pragma once

#include "ui/Component.h"
#include "ui/FormResource.h"
#include "ui/Published.h"

#include <functional>
#include <string>
#include <string_view>

namespace vigrel {

// Converts Text and Strings values between the resource's UTF-8 and the components' own
// encoding; an empty function passes the bytes on unchanged. A conversion that throws makes the
// reader fail at that property's line.
struct TextConversion {
    std::function<std::string(std::string_view)> fromResource;
    std::function<std::string(std::string_view)> toResource;
};

// Loads `form` into `root`, whose class must be the one the form names. Every nested object is
// created owned by `root`, named, told its enclosing component through SetParentComponent, and
// given its properties; objects are created in the order they appear. Every component of the
// load, `root` first, carries csLoading until the end, when each gets Loaded() once, in the same
// order.
//
// Strict: an unknown class or property, a value of the wrong type or outside its range or
// enumeration, a duplicate property or component name, or an exception from a constructor,
// setter or Loaded() throws SourceError with the line. Everything is checked before anything is
// created or assigned; when an exception comes from a component's own code, the components this
// load created are destroyed, `root` is left with csLoading cleared and whichever of its own
// properties had been assigned, and the caller normally discards it.
void ReadComponent(TComponent& root, const FormObject& form, const ClassRegistry& classes,
                   const TextConversion& conversion = {});
void ReadComponentResource(TComponent& root, std::string_view text, const ClassRegistry& classes,
                           const TextConversion& conversion = {});

} // namespace vigrel

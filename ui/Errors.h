// The toolkit's own error types, for failures that callers may want to tell from others.
#pragma once

#include <stdexcept>

namespace vigrel {

// An object was given where another kind was required: a component placed on an owner of the
// wrong class, say.
class EInvalidCast : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace vigrel

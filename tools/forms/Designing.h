// Marks components as edited in a designer (csDesigning), for the tests of what components do
// differently there; the program itself never designs.
#pragma once

#include "ui/Component.h"

namespace vigrel {

// Marks `root` and everything it owns, at any depth, as edited in a designer, or no longer.
void SetDesigning(TComponent& root, bool designing);

} // namespace vigrel

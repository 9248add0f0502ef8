// Half of a deliberate include cycle: the include check must refuse this tree.
#pragma once

#include "ui/Upper.h"

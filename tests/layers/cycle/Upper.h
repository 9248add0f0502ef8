// Half of a deliberate include cycle: the include checker must refuse this folder.
#pragma once

#include "tests/layers/cycle/Lower.h"

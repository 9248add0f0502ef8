// A toolkit unit that reaches up into monitors: the include check must refuse it, though no
// cycle is made.
#pragma once

#include "monitor/High.h"

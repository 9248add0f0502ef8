// A tool that reaches up into the benchmarks through a path relative to itself: the include
// check must refuse it.
#pragma once

#include "../bench/Figures.h"

// A monitor unit, included from below.
#pragma once

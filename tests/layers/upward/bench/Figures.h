// A benchmark's header, included from below.
#pragma once

// Whether the desktop draws windows with visual styles.
#pragma once

namespace vigrel {

// True when this program is themed and a visual style is active on the desktop.
bool ThemesInUse();

} // namespace vigrel

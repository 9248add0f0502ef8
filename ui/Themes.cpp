#include "ui/Themes.h"

#include <windows.h>

#include <uxtheme.h>

namespace vigrel {

bool ThemesInUse() {
    return IsAppThemed() != FALSE && IsThemeActive() != FALSE;
}

} // namespace vigrel

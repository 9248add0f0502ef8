// The texts the plug-in hands the host: its name, its one action's name and hint, and its
// identity. Windows-1251 at run time; the author's guide quotes them (tests/native/GuideTest.cpp
// holds it to them).
#pragma once

#include <array>
#include <string_view>

namespace vigrel {

inline constexpr char PlugInName[] = "Vigrel";
inline constexpr char MonitorActionName[] = "VigrelCreate";
inline constexpr char MonitorActionHint[] =
    "Создать невизуальный объект для наблюдения за изменениями выбранной папки или файла.";
inline constexpr char Title[] = "Vigrel_ALFA";
inline constexpr char Publisher[] = "Vigrel project";
inline constexpr char Hint[] = "Контроль за изменением переменных Tessary.";

inline constexpr std::array<std::string_view, 6> PlugInTexts = {
    PlugInName, MonitorActionName, MonitorActionHint, Title, Publisher, Hint};

} // namespace vigrel

// The texts the "Action Properties" dialog shows besides its form's own (editor/EditMonitor.form),
// in UTF-8 whatever the compiler's execution character set: the dialog shows them, and the
// author's guide quotes them (tests/native/GuideTest.cpp holds it to them).
#pragma once

#include <array>
#include <string_view>

namespace vigrel {

inline constexpr std::u8string_view DialogCaption = u8"Action Properties";
// Shown at OK when the monitor name breaks the name rule.
inline constexpr std::u8string_view BadNameMessage =
    u8"Ошибка ввода имени создаваемого монитора.\nДопускается ввод только латинских букв и цифр";
// The subroutine list's heading; the list follows after two carriage returns.
inline constexpr std::u8string_view SubroutineListHeading = u8"Список подпрограмм";
inline constexpr std::u8string_view NoSubroutinesMessage = u8"Подпрограммы отсутствуют";
// What a screen reader calls pressing a picture button, and following the link.
inline constexpr std::u8string_view PressActionName = u8"Нажать";
inline constexpr std::u8string_view FollowActionName = u8"Перейти";

inline constexpr std::array<std::u8string_view, 6> DialogTexts = {
    DialogCaption,        BadNameMessage,  SubroutineListHeading,
    NoSubroutinesMessage, PressActionName, FollowActionName};

} // namespace vigrel

// The toolkit's message boxes: the system's own, owned by the active form of the library (or the
// thread's active or main window), with the caption, icon and single OK button of their type.
#pragma once

#include <string_view>

namespace vigrel {

enum class TMsgDlgType : unsigned char {
    mtError,       // caption "Error", error icon
    mtInformation, // caption "Information", information icon
};

// Shows `text` (UTF-8) and returns when the box is closed.
void ShowMessageBox(std::string_view text, TMsgDlgType type);

} // namespace vigrel

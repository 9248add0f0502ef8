#include "ui/Dialogs.h"

#include "ui/DpiAwareness.h"
#include "ui/Form.h"
#include "ui/WideText.h"

#include <windows.h>

namespace vigrel {

void ShowMessageBox(std::string_view text, TMsgDlgType type) {
    // The active form, else the form whose modal run is innermost (activation comes back to it
    // only a little after a previous box closed), else the thread's active or main window.
    HWND owner = DefaultOwnerWindow();
    TForm* form = Screen().ActiveForm();
    for (std::size_t i = Screen().FormCount(); form == nullptr && i > 0; --i) {
        if (Screen().Forms(i - 1).Modal()) {
            form = &Screen().Forms(i - 1);
        }
    }
    if (form != nullptr) {
        owner = form->Handle();
    }
    const bool error = type == TMsgDlgType::mtError;
    // Laid out at 96 dpi like the library's forms, and stretched with them by the system.
    const ThreadDpiAwareness unaware(DialogAwareness());
    MessageBoxW(owner, ToWide(text).c_str(), error ? L"Error" : L"Information",
                MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

} // namespace vigrel

#include "ui/Dialogs.h"

#include "ui/Form.h"
#include "ui/WideText.h"

#include <windows.h>

namespace vigrel {

void ShowMessageBox(std::string_view text, TMsgDlgType type) {
    HWND owner = GetActiveWindow();
    if (TForm* form = Screen().ActiveForm()) {
        owner = form->Handle();
    }
    const bool error = type == TMsgDlgType::mtError;
    MessageBoxW(owner, ToWide(text).c_str(), error ? L"Error" : L"Information",
                MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

} // namespace vigrel

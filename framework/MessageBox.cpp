#include "framework/MessageBox.h"

#include "framework/App.h"
#include "framework/Unicode.h"

UINT AppMessageBoxStyle(UINT type)
{
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
        case MB_YESNO:
        case MB_YESNOCANCEL:
            type |= MB_ICONEXCLAMATION;
            break;
        default:
            break;
        }
    }
    return type;
}

int AppMessageBox(const std::string& text, UINT type, HWND owner)
{
    if (!owner) {
        // The window the user last worked with in this program: an open dialog rather than the
        // hidden main window behind it.
        const HWND main = GetAppMainWindow();
        owner = main ? ::GetLastActivePopup(main) : nullptr;
    }
    // Wide: a path in the text is shown as it is, in any script.
    return ::MessageBoxW(owner, Widen(text).c_str(), Widen(GetAppName()).c_str(), AppMessageBoxStyle(type));
}

// The program's message boxes and the texts they show.
#pragma once

#include <windows.h>

#include <string>

// A message box with the application's name as caption, owned by the application's window.
// A box with OK, OK/Cancel, Yes/No or Yes/No/Cancel buttons that asks for no icon gets the
// exclamation icon.
int AppMessageBox(const std::string& text, UINT type = MB_OK, HWND owner = nullptr);

// The flags AppMessageBox passes for the flags it was given.
UINT AppMessageBoxStyle(UINT type);

// The text of a window of any process, put on the clipboard: the rows and columns of a list
// view, a header's column titles, the expanded part of a tree view (indented by depth), the
// items of a combo box or list box, or any other window's text. Lines end with CR LF; list view
// cells are separated by one TAB.
#pragma once

#include "capture/ControlQuery.h"

#include <windows.h>

#include <string>

// Reads the window's text and puts it on the clipboard, owned by the owner window.
void CopyControlText(HWND control, HWND owner);

// The text of the window, chosen by its class name; empty for a window that is gone.
void GetControlText(HWND window, std::string& text);

enum class ControlKind { ListView, Header, TreeView, ComboBox, ListBox, Other };
// The kind of control a window class name names, in any case.
ControlKind ControlKindOf(const char* className);

void GetListViewText(HWND listView, std::string& text);
void GetHeaderText(HWND header, std::string& text);
void GetTreeViewText(HWND treeView, std::string& text);
void GetComboBoxText(HWND comboBox, std::string& text);
void GetListBoxText(HWND listBox, std::string& text);
void GetPlainWindowText(HWND window, std::string& text);

// Puts the text on the clipboard as CF_TEXT and plays the shutter sound; failures are reported
// in message boxes ("Clipboard operation failed!", "Out of Memory") and play no sound.
void SetClipboardText(HWND owner, const std::string& text);

// The text of a window of any process, read in this process: the rows and columns of a list
// view, a header's column titles, the expanded part of a tree view (indented by depth), the
// items of a combo box or list box, or any other window's text. Lines end with CR LF; list view
// cells are separated by one TAB. The text is read in the wide forms and given as UTF-8, every
// character as the control holds it.
//
// What became of a reading is decided in one place from what was read and why the reading
// ended: all of it (Done); a limit, the user's stop, or a program that failed part-way (Cut,
// with a note of what was left out and why); nothing at all from a program that failed (Refused,
// saying why: the text goes nowhere).
#pragma once

#include "text/ControlQuery.h"
#include "text/ReadLimits.h"
#include "text/TextSink.h"
#include "framework/Outcome.h"

#include <windows.h>

#include <string>

// The most siblings of a tree asked in one batch; a tree's levels are mostly shorter.
const int kTreeBatchItems = 64;

// The text of the window, chosen by its class name; a window that is gone is refused.
Outcome GetControlText(HWND window, std::string& text, const ReadLimits& limits = kReadLimits,
                       CTextSink* sink = nullptr);

enum class ControlKind { ListView, Header, TreeView, ComboBox, ListBox, Other };
// The kind of control a window class name names, in any case.
ControlKind ControlKindOf(const char* className);

// Whether the window is a tree view whose item handles would not fit this process's messages
// (a large-address-aware 64-bit program's, seen from a 32-bit reader): only a 64-bit reader
// may walk it.
bool TreeNeeds64BitReader(HWND window);

Outcome GetListViewText(HWND listView, std::string& text, const ReadLimits& limits = kReadLimits,
                        CTextSink* sink = nullptr);
Outcome GetHeaderText(HWND header, std::string& text, const ReadLimits& limits = kReadLimits,
                      CTextSink* sink = nullptr);
Outcome GetTreeViewText(HWND treeView, std::string& text, const ReadLimits& limits = kReadLimits,
                        CTextSink* sink = nullptr);
Outcome GetComboBoxText(HWND comboBox, std::string& text, const ReadLimits& limits = kReadLimits,
                        CTextSink* sink = nullptr);
Outcome GetListBoxText(HWND listBox, std::string& text, const ReadLimits& limits = kReadLimits,
                       CTextSink* sink = nullptr);
Outcome GetPlainWindowText(HWND window, std::string& text, const ReadLimits& limits = kReadLimits,
                           CTextSink* sink = nullptr);

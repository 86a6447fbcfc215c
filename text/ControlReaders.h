// The text of a window of any process, read in this process: the rows and columns of a list
// view, a header's column titles, the expanded part of a tree view (indented by depth), the
// items of a combo box or list box, or any other window's text. Lines end with CR LF; list view
// cells are separated by one TAB. The text is read in the wide forms and given as UTF-8, every
// character as the control holds it.
#pragma once

#include "text/ControlQuery.h"
#include "text/ReadLimits.h"
#include "text/ReadResult.h"

#include <windows.h>

#include <string>

// The text of the window, chosen by its class name; empty for a window that is gone.
ReadResult GetControlText(HWND window, std::string& text, const ReadLimits& limits = kReadLimits,
                          CTextSink* sink = nullptr);

enum class ControlKind { ListView, Header, TreeView, ComboBox, ListBox, Other };
// The kind of control a window class name names, in any case.
ControlKind ControlKindOf(const char* className);

ReadResult GetListViewText(HWND listView, std::string& text, const ReadLimits& limits = kReadLimits,
                           CTextSink* sink = nullptr);
ReadResult GetHeaderText(HWND header, std::string& text, const ReadLimits& limits = kReadLimits,
                         CTextSink* sink = nullptr);
ReadResult GetTreeViewText(HWND treeView, std::string& text, const ReadLimits& limits = kReadLimits,
                           CTextSink* sink = nullptr);
ReadResult GetComboBoxText(HWND comboBox, std::string& text, const ReadLimits& limits = kReadLimits,
                           CTextSink* sink = nullptr);
ReadResult GetListBoxText(HWND listBox, std::string& text, const ReadLimits& limits = kReadLimits,
                          CTextSink* sink = nullptr);
ReadResult GetPlainWindowText(HWND window, std::string& text, const ReadLimits& limits = kReadLimits);

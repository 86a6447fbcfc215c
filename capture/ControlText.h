// The text of a window of any process, put on the clipboard: the rows and columns of a list
// view, a header's column titles, the expanded part of a tree view (indented by depth), the
// items of a combo box or list box, or any other window's text. Lines end with CR LF; list view
// cells are separated by one TAB.
#pragma once

#include "capture/ControlQuery.h"
#include "capture/ReadLimits.h"

#include <windows.h>

#include <string>

// What became of one reading of a window's text.
struct ReadResult {
    enum class Outcome {
        Whole,    // all of it was read
        Cut,      // a limit ended the reading; the text gathered before it is kept
        Aborted,  // the reading gave up where the program cannot follow; the text so far is kept
        Refused,  // nothing could be read safely: the clipboard must stay as it is
        // Nothing was read: a 64-bit program's tree, whose item handles only a 64-bit reader
        // gets intact.
        Needs64BitReader,
        OutOfMemory,  // nothing is delivered
    };
    Outcome outcome = Outcome::Whole;
    // Cut: one line per limit that was reached, saying what was left out. Aborted, Refused,
    // Needs64BitReader: why.
    std::string message;
};

// Why a 32-bit reader does not walk the tree of a large-address-aware 64-bit program.
extern const char kTreeHandlesRefusal[];

// Told of the text while a reading goes on, each time it has grown by whole items (rows,
// lines): the reader mode passes them on at once, so that what was read is kept even where the
// reading is cut short. False stops the reading there.
class CTextSink
{
public:
    virtual bool Grew(const std::string& text) = 0;

protected:
    ~CTextSink() = default;
};

// Reads the window's text and puts it on the clipboard, owned by the owner window; then tells
// the user what of it was left out, if anything. A tree that only a 64-bit reader can walk is
// read through the 64-bit companion. A refused reading is told instead and leaves the clipboard
// as it was, without the shutter sound.
void CopyControlText(HWND control, HWND owner);

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

// Puts the text on the clipboard as CF_TEXT and plays the shutter sound; failures are reported
// in message boxes ("Clipboard operation failed!", "Out of Memory"). True when the clipboard
// holds the text.
bool SetClipboardText(HWND owner, const std::string& text);

// The ids of control_host.exe's controls (tests/fixtures/ControlHost.cpp), known to the host
// and to the tests that find its controls by them.
#pragma once

namespace testing_support {

enum HostControl {
    kListView = 101,          // report view, 3 columns, 2 rows a..f
    kListNoHeader = 102,      // list view, no header window: one column
    kListNoColumns = 103,     // report view without columns, 2 rows
    kListEmpty = 104,         // report view with columns, no rows
    kHeader = 105,            // header: Name, Size, Type
    kTreeCollapsed = 106,     // a collapsed root with children
    kTreeThreeLevels = 107,   // root > child > grandchild, all expanded
    kTreeRoots = 108,         // several roots, some expanded
    kListLongCell = 109,      // one cell of 1100 characters; in "controls" a second row whose
                              // cell has a surrogate pair across its 1,023rd character
    kCombo = 110,             // x, y
    kListBox = 111,           // "first item", "", "third"
    kEdit = 112,              // hello
    kListOwnerData = 113,     // owner data, 5 rows, whose owner answers nothing
    kTreeDeepOverflow = 114,  // a chain of 1026 levels, all expanded
    kTreeDeepFull = 115,      // a chain of 1025 levels, all expanded
    kListTarget = 120,        // the list view of the closing, hung, full, biglist and slowlist cases:
                              // cells "r<row>c<column>"
    kTreeTarget = 121,        // the tree view of the hung case: roots "Item 0".."Item 9"
    // The liars: whatever they claim, each item they are asked for has a short text.
    kLiarList = 130,          // 2^31 - 1 rows of cells "r<row>c<column>"; its header is the next one
    kLiarHeader = 131,        // 2^31 - 1 items "title<i>"
    kLiarListBox = 132,       // 2^31 - 1 items "item<i>"
    kLiarCombo = 133,         // 2^31 - 1 items "item<i>"
    kLongItemListBox = 134,   // one, two, three, four, five: three claims 2^30 characters
    kLiarTree = 135,          // roots A and B, where B's next sibling is A again
    kLiarStatic = 136,        // "short text", claims 2^30 characters
    kLiarEdit = 137,          // claims 2^30 characters and fills any buffer with a..z a..z ...
    kMiscountList = 138,      // cells whose counts are wrong: see the host's MiscountListProc
    // Misbehaving liars (see their procedures in the host): a list view of cells r<row>c<column>,
    // 2 x 2, and list boxes of "one", "two".
    kSpillingList = 151,      // writes past the room of its texts
    kGrowingListBox = 152,    // "two" grows while it is read
    kOwnerDrawnListBox = 153, // owner-drawn, no strings: its items are numbers
    kOwnerDrawnCombo = 154,   // the same in a combo box
    kDeepTree = 155,          // 80 roots of 1,000 characters, each the parent of the first
    // Unicode windows holding "café Ελληνικά 日本語 Привет 😀" (kWorldText in the host).
    kUnicodeListBox = 140,    // the text, then "Ж"
    kUnicodeCombo = 141,      // the text
    kUnicodeList = 142,       // columns "Ελληνικά", "日本語"; one row: the text, "Привет"
    kUnicodeTree = 143,       // root: the text, expanded, with its child "日本語"
    kUnicodeEdit = 144,       // the text
    // control_host.exe ownerdata: 200,000 rows (or as many as it is told), 1 column, cells
    // "o<row>c<column>", inside a window of its own (the list's owner), not a direct child of the
    // host's window.
    kOwnerDataList = 145,
};

}  // namespace testing_support

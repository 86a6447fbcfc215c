#include "ui/SelectFolderDialog.h"

#include "capture/SettingRules.h"
#include "framework/Handles.h"
#include "framework/MessageBox.h"
#include "framework/Paths.h"
#include "framework/Unicode.h"
#include "framework/WindowText.h"

#include <dlgs.h>

#include <algorithm>
#include <cstdlib>

namespace {
const int kPathEditId = 102;

RECT ChildRect(HWND frame, HWND child)
{
    RECT rect = {};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Place(HWND child, const RECT& rect)
{
    ::SetWindowPos(child, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Moved(RECT rect, int dx, int dy)
{
    ::OffsetRect(&rect, dx, dy);
    return rect;
}

// The rectangle at the left of `right`, `gap` pixels apart, on its top.
RECT LeftOf(const RECT& rect, const RECT& right, int gap)
{
    const LONG width = rect.right - rect.left;
    return RECT{right.left - width - gap, right.top, right.left - gap, right.top + rect.bottom - rect.top};
}

// A label one line of its text high, its top kept. Some templates make their labels two lines
// high; moved about as one line, they would cover the controls below them.
RECT OneLineHigh(HWND frame, HWND label)
{
    RECT rect = ChildRect(frame, label);
    CClientDC dc(label);
    TEXTMETRICA metrics = {};
    if (dc) {
        CSelectObject font(dc, reinterpret_cast<HFONT>(::SendMessageA(label, WM_GETFONT, 0, 0)));
        if (::GetTextMetricsA(dc, &metrics) && metrics.tmHeight < rect.bottom - rect.top)
            rect.bottom = rect.top + metrics.tmHeight;
    }
    return rect;
}

bool IsDirectory(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CenterOn(HWND window, HWND owner)
{
    RECT self = {}, around = {};
    ::GetWindowRect(window, &self);
    if (!owner || !::GetWindowRect(owner, &around))
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &around, 0);
    const LONG width = self.right - self.left, height = self.bottom - self.top;
    ::SetWindowPos(window, nullptr, (around.left + around.right - width) / 2, (around.top + around.bottom - height) / 2,
                   0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// "C:\x" or "\\server": a path that names its drive and its folder from the root.
bool IsFullPath(const std::string& path)
{
    return (path.size() >= 3 && path[1] == ':' && path[2] == '\\') || path.compare(0, 2, "\\\\") == 0;
}

// A path relative to the folder, made full as the system makes it.
std::string FullPathIn(const std::string& folder, const std::string& relative)
{
    std::string joined;
    if (relative[0] == '\\')
        joined = folder.substr(0, 2) + relative;  // from the root of the folder's drive
    else if (relative.size() >= 2 && relative[1] == ':')
        joined = relative;  // another drive's current folder: the system knows it
    else
        joined = folder + (EndsWithBackslash(folder) ? "" : "\\") + relative;
    wchar_t full[MAX_PATH * 2] = L"";
    const DWORD length = ::GetFullPathNameW(Widen(joined).c_str(), MAX_PATH * 2, full, nullptr);
    return length > 0 && length < MAX_PATH * 2 ? Utf8(full, length) : joined;
}
}  // namespace

bool AcceptedFolderPath(const std::string& typed, const std::string& browsed, std::string& path)
{
    path = typed.empty() ? browsed : typed;
    if (path.empty())
        return false;
    // In UTF-8 a backslash byte is always a backslash.
    if (path.find("\\\\") != std::string::npos)
        return false;
    // Stored relative, it would mean another folder each time the program's working folder moved.
    if (!IsFullPath(path) && !browsed.empty())
        path = FullPathIn(browsed, path);
    if (EndsWithBackslash(path))
        path.pop_back();
    return true;
}

bool FolderFitsSettings(const std::string& folder)
{
    // Counted as the system counts MAX_PATH, in characters, not in bytes of UTF-8.
    return SystemLength(folder) + 1 <= kPathLength;
}

CSelectFolderDialog::CSelectFolderDialog(BOOL bShowFiles, const char* initialFolder, DWORD flags,
                                         const char* filter, HWND parent)
    : CFileDialog(TRUE, nullptr, nullptr, flags, filter, parent),
      m_bShowFiles(bShowFiles),
      m_bHasFilter(filter && *filter),
      m_strInitialFolder(initialFolder ? initialFolder : ""),
      m_frame(*this)
{
    if (initialFolder)
        SetInitialDir(initialFolder);
    SetTitle(m_strTitle);
}

CSelectFolderDialog::~CSelectFolderDialog() = default;

INT_PTR CSelectFolderDialog::DoModal()
{
    m_strFolder.clear();
    const INT_PTR result = CFileDialog::DoModal();
    m_strCurrentFolder.clear();
    m_hPathEdit = nullptr;
    return result;
}

std::string CSelectFolderDialog::BrowsedFolder() const
{
    wchar_t path[MAX_PATH] = L"";
    const HWND frame = GetFrame();
    if (!frame || ::SendMessageW(frame, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path)) < 0)
        return std::string();
    // A folder of the shell that is no folder on disk (My Computer) has no path: Windows
    // reports an error, Wine the folder's parsing name, "::{...}".
    if (path[0] == L':' && path[1] == L':')
        return std::string();
    return Utf8(path);
}

void CSelectFolderDialog::OnInitDone()
{
    const HWND frame = GetFrame();
    if (!frame)
        return;
    ::SetWindowTextW(frame, Widen(m_strTitle).c_str());
    LayOut(frame);
    if (m_hPathEdit) {
        RECT client = {};
        ::GetClientRect(frame, &client);
        m_nPathEditRightGap = client.right - ChildRect(frame, m_hPathEdit).right;
    }
    m_frame.SubclassWindow(frame);
    CenterOn(frame, ::GetWindow(frame, GW_OWNER));
}

void CSelectFolderDialog::LayOut(HWND frame)
{
    // The file-name box: an edit in the classic template, a combo box in newer ones.
    int nameId = edt1;
    HWND name = ::GetDlgItem(frame, edt1);
    if (!name) {
        nameId = cmb13;
        name = ::GetDlgItem(frame, cmb13);
    }
    const HWND ok = ::GetDlgItem(frame, IDOK), cancel = ::GetDlgItem(frame, IDCANCEL);
    const HWND list = ::GetDlgItem(frame, lst1), nameLabel = ::GetDlgItem(frame, stc3);
    const HWND typeLabel = ::GetDlgItem(frame, stc2), types = ::GetDlgItem(frame, cmb1);
    ::SendMessageA(frame, CDM_HIDECONTROL, static_cast<WPARAM>(nameId), 0);

    // OK goes beside Cancel.
    const RECT cancelRect = ChildRect(frame, cancel);
    Place(ok, LeftOf(ChildRect(frame, ok), cancelRect, 4));
    RECT listRect = ChildRect(frame, list);
    listRect.bottom = listRect.top + std::abs(listRect.top - (cancelRect.top - 45)) + 25;
    Place(list, listRect);

    // The label of the file name now names the path box below it.
    const RECT labelRect = OneLineHigh(frame, nameLabel);
    ::SetWindowTextA(nameLabel, "Current Folder:");
    Place(nameLabel, RECT{labelRect.left, labelRect.top + 14, labelRect.right + 50, labelRect.bottom + 14});
    const RECT nameRect = ChildRect(frame, name);
    // Auto-scrolled, so that a path longer than the box can be typed.
    m_hPathEdit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", Widen(m_strInitialFolder).c_str(),
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, labelRect.left,
                                    nameRect.top + 30, nameRect.right - 70 - labelRect.left,
                                    nameRect.bottom - nameRect.top, frame,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPathEditId)), nullptr, nullptr);
    if (!m_hPathEdit)
        return;
    ::SendMessageA(m_hPathEdit, WM_SETFONT, ::SendMessageA(name, WM_GETFONT, 0, 0), FALSE);
    ::SetWindowPos(m_hPathEdit, list, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    if (!m_bShowFiles || !m_bHasFilter)
        return;
    // Room below for the file types, Cancel and OK beside them.
    RECT frameRect = {};
    ::GetWindowRect(frame, &frameRect);
    ::SetWindowPos(frame, nullptr, 0, 0, frameRect.right - frameRect.left, frameRect.bottom - frameRect.top + 35,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT typeLabelRect = Moved(OneLineHigh(frame, typeLabel), 0, 25);
    Place(typeLabel, typeLabelRect);
    const RECT typesRect = ChildRect(frame, types);
    Place(types, RECT{typeLabelRect.left, typeLabelRect.bottom, typeLabelRect.left + typesRect.right - typesRect.left,
                      typeLabelRect.bottom + typesRect.bottom - typesRect.top});
    RECT movedCancel = ChildRect(frame, cancel);
    movedCancel = Moved(movedCancel, 0, typeLabelRect.bottom - 2 - movedCancel.top);
    Place(cancel, movedCancel);
    Place(ok, LeftOf(ChildRect(frame, ok), movedCancel, 4));
    RECT pathRect = ChildRect(frame, m_hPathEdit);
    pathRect.right = movedCancel.right;
    Place(m_hPathEdit, pathRect);
}

void CSelectFolderDialog::OnFolderChange()
{
    if (!GetFrame())
        return;
    m_strCurrentFolder = BrowsedFolder();
    if (m_hPathEdit)
        ::SetWindowTextW(m_hPathEdit, Widen(m_strCurrentFolder).c_str());
}

bool CSelectFolderDialog::OnFileNameOK()
{
    if (const HWND frame = GetFrame())
        ::PostMessageA(frame, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    return true;
}

LRESULT CSelectFolderDialog::CFrame::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && LOWORD(wParam) == IDOK && HIWORD(wParam) == 0) {
        m_chooser.OnFrameOK();
        return 0;
    }
    const LRESULT result = CWnd::WindowProc(msg, wParam, lParam);
    if (msg == WM_SIZE)
        m_chooser.FollowFrameWidth();
    return result;
}

void CSelectFolderDialog::FollowFrameWidth()
{
    // The dialog moves its own controls as it is resized; the path box it does not know keeps
    // its right edge where it was against the frame's.
    const HWND frame = GetFrame();
    if (!frame || !m_hPathEdit)
        return;
    RECT client = {};
    ::GetClientRect(frame, &client);
    RECT rect = ChildRect(frame, m_hPathEdit);
    rect.right = std::max(rect.left + 20, client.right - m_nPathEditRightGap);
    Place(m_hPathEdit, rect);
}

void CSelectFolderDialog::OnFrameOK()
{
    const HWND frame = GetFrame();
    std::string path;
    if (!AcceptedFolderPath(m_hPathEdit ? WindowText(m_hPathEdit) : std::string(), BrowsedFolder(), path)) {
        AppMessageBox("Invalid Folder", MB_OK | MB_ICONSTOP, frame);
        return;
    }
    // Cut to fit, it would be another folder (or half a character).
    if (!FolderFitsSettings(path)) {
        AppMessageBox(path + "\n\n" + kPathTooLong, MB_OK | MB_ICONSTOP, frame);
        return;
    }
    if (!IsDirectory(path)) {
        const int answer = AppMessageBox(path + "\n\nThis path does not exist. Do you want to create it?",
                                         MB_YESNO | MB_ICONQUESTION, frame);
        if (answer == IDYES) {
            if (!MakeFolderPath(path)) {
                AppMessageBox("Could not create folder:\n" + path, MB_OK, frame);
                return;
            }
        }
    }
    m_strFolder = path + "\\";
    ::EndDialog(frame, IDOK);
}

#include "ui/OptionsDlg.h"

#include "framework/DataExchange.h"
#include "framework/FileDialog.h"
#include "framework/Handles.h"
#include "framework/MessageBox.h"
#include "framework/Paths.h"
#include "framework/Screen.h"
#include "framework/Unicode.h"
#include "framework/WindowText.h"
#include "res/resource.h"
#include "ui/SelectFolderDialog.h"

#include <commctrl.h>

#include <utility>
#include <vector>

namespace {
const DWORD kSaveAsFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT;
const char kSaveAsTitle[] = "Browse Record File";
// Without a chosen directory the folder chooser starts here.
const char kDefaultFolder[] = "C:\\";

// The text into a field of the settings. The fields hold as many characters as the dialog lets
// through in any script (UTF-8 takes up to three bytes for each); a text that does not fit
// whole leaves the field empty rather than cut in the middle of a character.
template <size_t N>
void CopyText(char (&field)[N], const std::string& text)
{
    const size_t length = text.size() < N ? text.size() : 0;
    text.copy(field, length);
    field[length] = '\0';
}

// A path as a label of the dialog shows it, in any script.
void SetItemText(HWND dialog, int id, const std::string& text)
{
    ::SetDlgItemTextW(dialog, id, Widen(text).c_str());
}
}  // namespace

int LetterIndex(char letter)
{
    if (letter >= 'A' && letter <= 'Z')
        return letter - 'A';
    if (letter >= 'a' && letter <= 'z')
        return letter - 'a';
    return -1;
}

RECT ClampChosenRect(RECT rect, const RECT& screen)
{
    if (rect.left < screen.left)
        rect.left = screen.left;
    if (rect.top < screen.top)
        rect.top = screen.top;
    if (rect.right > screen.right)
        rect.right = screen.right;
    if (rect.bottom > screen.bottom)
        rect.bottom = screen.bottom;
    return rect;
}

COptionsDlg::COptionsDlg(const CaptureSettings& current, RectPicker pickRect)
    : CDialog(IDD_OPTION), m_choices(current), m_pickRect(std::move(pickRect))
{
}

COptionsDlg::~COptionsDlg() = default;

void COptionsDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Check(pDX, IDC_SAVE_TO_FILE, m_bSaveToFile);
    DDX_Text(pDX, IDC_PREFIX, m_strPrefix);
    DDV_MaxChars(pDX, m_strPrefix, static_cast<int>(kPrefixLength));
    DDX_Radio(pDX, IDC_OVERWRITE, m_nSaveMode);
    DDX_Check(pDX, IDC_INCLUDE_CURSOR, m_bIncludeCursor);
    DDX_Check(pDX, IDC_AVI_COMPRESS, m_bAviCompress);
}

BOOL COptionsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    FillLetterCombo(IDC_AVI_BEGIN, m_choices.m_chAviBeginKey);
    FillLetterCombo(IDC_AVI_END, m_choices.m_chAviEndKey);
    FillLetterCombo(IDC_AVI_AUTO_BEGIN, m_choices.m_chAviAutoBeginKey);

    m_aboutLink.SubclassDlgItem(IDC_ABOUT_ICON, m_hWnd);
    m_lblTargetFile.SubclassDlgItem(IDC_TARGET_FILE, m_hWnd);
    m_lblDirectory.SubclassDlgItem(IDC_DIRECTORY, m_hWnd);
    m_lblAviFile.SubclassDlgItem(IDC_AVI_FILE, m_hWnd);

    InitSpin(IDC_AVI_RATE_SPIN, kAviRateRange, m_choices.m_nAviRate);
    InitSpin(IDC_END_AFTER_SPIN, kAviEndAfterRange, m_choices.m_nAviEndAfter);
    InitSpin(IDC_BASE_NUMBER_SPIN, kBaseNumberRange, m_choices.m_nBaseNumber);
    InitSpin(IDC_DIGITS_SPIN, kDigitsRange, m_choices.m_nDigits);

    SetItemText(m_hWnd, IDC_AVI_FILE, m_choices.m_szAviFile);
    SetItemText(m_hWnd, IDC_DIRECTORY, m_choices.m_szDirectory);
    SetItemText(m_hWnd, IDC_TARGET_FILE, m_choices.m_szTargetFile);

    const LRESULT type = ::SendDlgItemMessageA(m_hWnd, IDC_FILE_TYPE, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>(m_choices.m_szExtension));
    ::SendDlgItemMessageA(m_hWnd, IDC_FILE_TYPE, CB_SETCURSEL, static_cast<WPARAM>(type), 0);

    m_rcCapture = m_choices.m_rcCapture;
    ShowRect(IDC_CAPTURE_RECT, m_rcCapture);
    m_rcAvi = m_choices.m_rcAvi;
    ShowRect(IDC_AVI_RECT, m_rcAvi);

    m_bSaveToFile = m_choices.m_bSaveToFile;
    m_strPrefix = m_choices.m_szPrefix;
    m_nSaveMode = m_choices.m_nSaveMode;
    m_bIncludeCursor = m_choices.m_bIncludeCursor;
    m_bAviCompress = m_choices.m_bAviCompress;
    UpdateData(FALSE);
    return TRUE;
}

void COptionsDlg::OnOK()
{
    // A list without a selection (another program can take it away) keeps the letter the
    // settings hold.
    char begin = m_choices.m_chAviBeginKey, end = m_choices.m_chAviEndKey;
    char autoBegin = m_choices.m_chAviAutoBeginKey;
    GetSelectedLetter(IDC_AVI_BEGIN, begin);
    GetSelectedLetter(IDC_AVI_END, end);
    GetSelectedLetter(IDC_AVI_AUTO_BEGIN, autoBegin);
    if (const char* clash = LetterClashMessage(begin, end, autoBegin)) {
        AppMessageBox(clash, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // The prefix edit holds no more than six characters when typed into, but another program
    // can set any text: a longer prefix is refused (the exchange says so) and never stored.
    if (!UpdateData(TRUE))
        return;
    // Neither radio button checked (only another program can do that): the kind of saving stays.
    if (!kSaveModeRange.Holds(m_nSaveMode))
        m_nSaveMode = m_choices.m_nSaveMode;
    if (const char* fault = PrefixFault(m_strPrefix)) {
        AppMessageBox(fault, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::string targetFile = WindowText(GetDlgItem(IDC_TARGET_FILE));
    const std::string directory = WindowText(GetDlgItem(IDC_DIRECTORY));
    const std::string aviFile = WindowText(GetDlgItem(IDC_AVI_FILE));
    // The choosers give full paths; another program may set any text, and a Save As dialog
    // takes an AVI file of a length that a long recording's next files do not fit.
    const std::pair<const std::string*, size_t> paths[] = {
        {&targetFile, kPathLength}, {&directory, kPathLength}, {&aviFile, kAviPathLength}};
    for (const auto& path : paths) {
        if (const char* fault = PathFault(*path.first, path.second)) {
            AppMessageBox(*path.first + "\n\n" + fault, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    if (const char* missing = MissingFileChoiceMessage(m_bSaveToFile, m_nSaveMode, targetFile, m_strPrefix, directory)) {
        AppMessageBox(missing, MB_OK | MB_ICONEXCLAMATION);
        return;
    }

    m_choices.m_bIncludeCursor = m_bIncludeCursor;
    m_choices.m_bAviCompress = m_bAviCompress;
    m_choices.m_bSaveToFile = m_bSaveToFile;
    m_choices.m_nSaveMode = m_nSaveMode;
    CopyText(m_choices.m_szPrefix, m_strPrefix);
    CopyText(m_choices.m_szDirectory, directory);
    CopyText(m_choices.m_szTargetFile, targetFile);
    m_choices.m_chAviBeginKey = begin;
    m_choices.m_chAviEndKey = end;
    m_choices.m_chAviAutoBeginKey = autoBegin;
    m_choices.m_nAviRate = SpinPosition(IDC_AVI_RATE_SPIN);
    m_choices.m_nAviEndAfter = SpinPosition(IDC_END_AFTER_SPIN);
    m_choices.m_nBaseNumber = SpinPosition(IDC_BASE_NUMBER_SPIN);
    m_choices.m_nDigits = SpinPosition(IDC_DIGITS_SPIN);
    CopyText(m_choices.m_szAviFile, aviFile);
    m_choices.m_rcCapture = m_rcCapture;
    m_choices.m_rcAvi = m_rcAvi;
    const std::string extension = ItemText(IDC_FILE_TYPE);
    if (!extension.empty())
        CopyText(m_choices.m_szExtension, extension);
    CDialog::OnOK();
}

bool COptionsDlg::OnCommand(UINT id, UINT code, HWND control)
{
    if (id == IDC_PREFIX && code == EN_CHANGE) {
        OnChangePrefix();
        return true;
    }
    if (code != BN_CLICKED)
        return CDialog::OnCommand(id, code, control);
    switch (id) {
    case IDC_BROWSE_AVI_FILE:
        OnBrowseAviFile();
        return true;
    case IDC_BROWSE_CAPTURE_RECT:
        OnBrowseCaptureRect();
        return true;
    case IDC_BROWSE_AVI_RECT:
        OnBrowseAviRect();
        return true;
    case IDC_BROWSE_DIRECTORY:
        OnBrowseDirectory();
        return true;
    case IDC_BROWSE_TARGET_FILE:
        OnBrowseTargetFile();
        return true;
    default:
        return CDialog::OnCommand(id, code, control);
    }
}

void COptionsDlg::OnBrowseAviFile()
{
    CFileDialog dialog(FALSE, "avi", "*.avi", kSaveAsFlags, "AVI Files (*.avi)|*.avi|All Files (*.*)|*.*||", m_hWnd);
    dialog.SetTitle(kSaveAsTitle);
    if (dialog.DoModal() == IDOK)
        SetItemText(m_hWnd, IDC_AVI_FILE, dialog.GetPathName());
}

void COptionsDlg::OnBrowseTargetFile()
{
    CFileDialog dialog(FALSE, "png", nullptr, kSaveAsFlags,
                       "PNG Files (*.png)|*.png|BMP Files (*.bmp)|*.bmp|All Files (*.*)|*.*||", m_hWnd);
    dialog.SetTitle(kSaveAsTitle);
    if (dialog.DoModal() == IDOK)
        ChooseSavePath(IDC_TARGET_FILE, dialog.GetPathName(), 0);
}

void COptionsDlg::OnBrowseDirectory()
{
    std::string folder = WindowText(GetDlgItem(IDC_DIRECTORY));
    // A folder that could not be kept (another program set the label) is no place to start.
    if (folder.empty() || SystemLength(folder) >= MAX_PATH)
        folder = kDefaultFolder;
    CSelectFolderDialog chooser(TRUE, folder.c_str(), OFN_HIDEREADONLY, "All Files(*.*)|*.*||", m_hWnd);
    if (chooser.DoModal() == IDOK)
        ChooseSavePath(IDC_DIRECTORY, chooser.GetFolder(), 1);
}

void COptionsDlg::ChooseSavePath(int labelId, const std::string& path, int saveMode)
{
    SetItemText(m_hWnd, labelId, path);
    UpdateData(TRUE);
    m_bSaveToFile = TRUE;
    m_nSaveMode = saveMode;
    UpdateData(FALSE);
}

void COptionsDlg::OnChangePrefix()
{
    UpdateData(TRUE);
    if (m_strPrefix.empty())
        return;
    // Only the box: which kind of saving is meant is the radio buttons' to say.
    m_bSaveToFile = TRUE;
    UpdateData(FALSE);
}

void COptionsDlg::OnBrowseCaptureRect()
{
    BrowseRect(IDC_CAPTURE_RECT, m_rcCapture);
}

void COptionsDlg::OnBrowseAviRect()
{
    BrowseRect(IDC_AVI_RECT, m_rcAvi);
}

void COptionsDlg::BrowseRect(int id, RECT& rect)
{
    RECT picked = {};
    if (!m_pickRect || !m_pickRect(m_hWnd, picked))
        return;
    // Kept on the screen, a window beside it may have no size left: the rectangle stays as it was.
    const RECT chosen = ClampChosenRect(picked, ScreenRect());
    if (!IsChoosableRect(chosen))
        return;
    rect = chosen;
    ShowRect(id, rect);
}

void COptionsDlg::FillLetterCombo(int id, char letter)
{
    const HWND list = GetDlgItem(id);
    for (char c = 'A'; c <= 'Z'; ++c) {
        const char item[2] = {c, '\0'};
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(LetterIndex(letter)), 0);
}

void COptionsDlg::GetSelectedLetter(int id, char& letter) const
{
    const LRESULT index = ::SendDlgItemMessageA(m_hWnd, id, CB_GETCURSEL, 0, 0);
    if (index >= 0 && index < 26)
        letter = static_cast<char>('A' + index);
}

void COptionsDlg::ShowRect(int id, const RECT& rect)
{
    ::SetDlgItemTextA(m_hWnd, id, FormatRect(rect).c_str());
}

void COptionsDlg::InitSpin(int id, const SettingRange& range, int position)
{
    ::SendDlgItemMessageA(m_hWnd, id, UDM_SETRANGE32, static_cast<WPARAM>(range.low), range.high);
    ::SendDlgItemMessageA(m_hWnd, id, UDM_SETPOS32, 0, position);
}

int COptionsDlg::SpinPosition(int id) const
{
    // Text in the edit that is no number of the range leaves the last valid position.
    BOOL error = FALSE;
    return static_cast<int>(::SendDlgItemMessageA(m_hWnd, id, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)));
}

std::string COptionsDlg::ItemText(int id) const
{
    const HWND list = GetDlgItem(id);
    const LRESULT index = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index < 0)
        return std::string();
    const LRESULT length = ::SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1);
    ::SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

// A static text of a dialog turned into a hyperlink: its text underlined in link colours, the
// hand over it, its target in a tooltip, and a click that opens the target with the shell (a
// web page, or an e-mail through a "mailto:" target). Where the shell cannot open it, the
// program registered for web pages is started with the target; failures are reported.
#pragma once

#include "ui/HoverLink.h"

#include <string>

class CLinkLabel : public CHoverLink
{
public:
    CLinkLabel();
    ~CLinkLabel() override = default;

    // The target, also the tooltip's text.
    void SetUrl(const std::string& url);
    void SetVisited(BOOL visited);

    COLORREF m_crLink = RGB(0, 0, 238);
    COLORREF m_crVisited = RGB(85, 26, 139);
    COLORREF m_crHover;
    BOOL m_bVisited = FALSE;
    BOOL m_bUnderline = TRUE;
    BOOL m_bFitToText = TRUE;

protected:
    void PreSubclassWindow() override;
    bool OnReflectedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The hover colour, else the visited one, else the link's.
    COLORREF TextColour() const;
    void OnClicked();
    void FitToText();

    std::string m_strUrl;
    CFontHandle m_font;  // the control's font, underlined
};

// The rectangle of a static of this style fitted to a text of this extent: a centred one keeps
// its centre, a right-aligned one its right edge, any other its left edge; one with a centred
// image keeps its vertical centre, any other its top.
RECT FitRectToText(const RECT& rect, SIZE text, LONG style);

// Opens the target with the shell; where that fails, with the command registered for web pages.
// The result of the shell, or of starting that command when it ran: above 32 is success.
INT_PTR OpenUrl(const std::string& target, int showCommand);
// The command that opens the target with a registered command: cut before its placeholder
// ("%1", quoted or not), then a blank and the target. False when it would not fit the 520
// characters that the command may have.
bool BuildOpenCommand(const std::string& registered, const std::string& target, std::string& command,
                      UINT codePage = CP_ACP);
// The default value of a key under HKEY_CLASSES_ROOT; false when the key cannot be opened or
// its value read.
bool ReadClassesRootDefault(const std::string& subkey, std::string& value);
// What an error code of the shell or of starting a program means, for the user.
std::string OpenErrorText(INT_PTR code);
// "Unable to open hyperlink:", two line feeds and the meaning of the code, in a message box.
void ReportOpenError(INT_PTR code);

// What a user of the desktop sees and does, observed and done from another process: the tray
// icon, global hot keys, the registry profile, keyboard and mouse input.
#pragma once

#include "support/Screen.h"

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// The icons of the notification area. Without a tray on the X display, Wine shows them in a
// window of its own, one child window per icon.
int TrayIconCount();
// What the icon tells the program's main window: this message, with the icon's id and the mouse
// message (as if the icon had been clicked).
extern const UINT kTrayMessage, kTrayId;

// The text of a visible balloon (or tooltip) of any program that holds `part`; "" for none.
std::string VisibleTooltipText(const std::string& part);
// The program's tray icon: where it is (empty without one), as the X display shows it (the first
// icon of the tray), and its tip as the mouse resting on the icon shows it ("" when none shows
// within 5 s); the mouse is then moved off the icon to `away`.
RECT TrayIconRect();
CPixels TrayIconPixels();
std::string TrayIconTip(POINT away);

const UINT kCtrlShift = MOD_CONTROL | MOD_SHIFT;
// Whether this process could take the hot key now (it is free) ; it is given back at once.
bool IsHotKeyFree(UINT modifiers, UINT virtualKey);

// The program's profile: HKEY_CURRENT_USER\Software\Dorvan's Tools\Pixlet32.
extern const char kCompanyKey[];
extern const char kHotKeyKey[];
void DeleteCompanyKey();
// A text of the section "Settings", read in the wide form (as UTF-8); empty when there is none.
std::string SettingsText(const char* name);
bool CompanyKeyExists();
// A value of any type, as a user may leave one there by hand; or a number.
void SetHotKeyValue(const char* name, DWORD type, const std::string& bytes);
// A value under Settings, as the Option dialog stores it.
void SetSettingsValue(const char* name, DWORD type, const void* bytes, DWORD size);
inline void SetHotKeyValue(const char* name, DWORD value)
{
    SetHotKeyValue(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

// Presses and releases the keys in order (then releases them in reverse), through SendInput.
void PressKeys(const std::vector<WORD>& virtualKeys);

// The mouse, through SendInput at absolute positions of the virtual screen (every monitor).
void MoveMouseTo(POINT point);
void LeftButton(bool down);
void RightButton(bool down);
// A click where the mouse is moved to (with the right button: the program's cancel).
inline void ClickAt(POINT point) { MoveMouseTo(point); LeftButton(true); LeftButton(false); }
inline void RightClickAt(POINT point) { MoveMouseTo(point); RightButton(true); RightButton(false); }
// A move in steps, each its own input with a pause, so that every move arrives as a message.
void MoveMouseInSteps(POINT from, POINT to, int steps = 8);
// Presses the left button at `from`, moves to `to` in steps and releases it there.
void DragMouse(POINT from, POINT to, int steps = 8);
// Holds Ctrl down (or lets it go) through the X server: a Ctrl that SendInput injects is
// forgotten by Wine at the next injected mouse event.
bool HoldCtrl(bool down);
// The left button pressed where the mouse is, with Ctrl held only at the press, then let go.
bool PressWithCtrl();

// The program accepts a hot-key action only two seconds after the last accepted one (or its
// start): the pacer waits until the next is sure to be taken.
class CActionPacer
{
public:
    // The program has started, or an action was accepted, now.
    void Accepted() { m_dwLast = ::GetTickCount(); }
    // Waits until a new action is accepted, with room for the program taking the last one later
    // than the test pressed its key; counts it as accepted.
    void WaitForNextAction();

private:
    DWORD m_dwLast = 0;
};

}  // namespace testing_support

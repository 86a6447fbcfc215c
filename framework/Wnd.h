// The window objects' common base (a handle and typed hooks), and the subclassing of an
// existing control: the control's messages go to the virtual WindowProc of the object attached
// to it, and the notifications that its parent dialog receives about it are reflected back to it.
#pragma once

#include <windows.h>

#include <exception>

// The point of a mouse message: signed coordinates, so that a point left of or above the
// primary screen (another monitor) stays negative instead of becoming a far right one.
POINT PointFromLParam(LPARAM lParam);

// Runs the work of a window, dialog or subclass procedure. An exception must never unwind
// through the system's frames (it would leave the window manager in an undefined state), so
// one that escapes hands the message to `fallback` (the default processing) instead; handlers
// catch what they expect themselves.
template <typename Work, typename Fallback>
auto CallGuarded(Work&& work, Fallback&& fallback) noexcept -> decltype(work())
{
    try {
        return work();
    } catch (...) {
        return fallback();
    }
}

// What every window object of the program has: the window's handle (not owned), and the typed
// hooks that its messages are decoded into. Dialogs and subclassed controls build on it.
class CWindowBase
{
public:
    CWindowBase() = default;
    virtual ~CWindowBase() = default;
    CWindowBase(const CWindowBase&) = delete;
    CWindowBase& operator=(const CWindowBase&) = delete;

    HWND m_hWnd = nullptr;

protected:
    // Typed hooks, called by DispatchTypedHooks. OnPaint takes the message (true) or leaves it
    // to the default painting (false); the others are notifications after which the default
    // processing of the message goes on.
    virtual bool OnPaint() { return false; }
    virtual void OnMouseMove(UINT /*flags*/, POINT /*point*/) {}
    virtual void OnLButtonDown(UINT /*flags*/, POINT /*point*/) {}
    virtual void OnLButtonUp(UINT /*flags*/, POINT /*point*/) {}
    virtual void OnRButtonDown(UINT /*flags*/, POINT /*point*/) {}
    virtual void OnRButtonUp(UINT /*flags*/, POINT /*point*/) {}
    virtual void OnTimer(UINT_PTR /*id*/) {}
    // The mouse capture went to newCapture (null: to nobody), whoever took it.
    virtual void OnCaptureChanged(HWND /*newCapture*/) {}
    virtual void OnDestroy() {}
    // Decodes paint, mouse, timer, capture and destroy messages for the hooks above; true
    // (with the result set) when a hook took the message.
    bool DispatchTypedHooks(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
};

// An existing control of a dialog taken over by an object: the control's messages go to its
// virtual WindowProc, and the notifications its parent dialog receives about it come back to it.
class CWnd : public CWindowBase
{
public:
    CWnd() = default;
    ~CWnd() override;

    // Attaches this object to an existing control; false if it is already attached or the
    // control does not exist.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT id, HWND parent);
    // Gives the control its own window procedure back.
    HWND UnsubclassWindow();

    // The object attached to hwnd by SubclassWindow, or null.
    static CWnd* FromSubclassed(HWND hwnd);
    // Offers a parent's notification (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR..., WM_DRAWITEM)
    // to the object attached to the control it is about; true when that object handled it.
    static bool ReflectToControl(HWND control, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    // Called before the control's messages start to arrive here.
    virtual void PreSubclassWindow() {}
    // The control's messages; the default passes them on to the control's own procedure.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // A notification about this control that its parent received. Return true (with the
    // parent's result) to take it; false lets the parent handle it.
    virtual bool OnReflectedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Passes the message being handled on to the control's own procedure.
    LRESULT Default();

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);
    struct CurrentMessage {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    const CurrentMessage* m_pCurrent = nullptr;
    bool m_bSubclassed = false;
};

// Owners of the system resources the program takes. Each gives its resource back when it goes
// out of scope, on every path, so that no function has to remember to. None is copyable;
// the handle owners can be moved, and Detach() hands a resource on (to the clipboard, say).
#pragma once

#include <windows.h>

// A handle plus the function that gives it back.
template <typename Traits>
class CHandleOwner
{
public:
    using Handle = typename Traits::Handle;

    CHandleOwner() noexcept = default;
    explicit CHandleOwner(Handle h) noexcept : m_h(h) {}
    ~CHandleOwner() { Reset(); }

    CHandleOwner(const CHandleOwner&) = delete;
    CHandleOwner& operator=(const CHandleOwner&) = delete;
    CHandleOwner(CHandleOwner&& other) noexcept : m_h(other.Detach()) {}
    CHandleOwner& operator=(CHandleOwner&& other) noexcept
    {
        if (this != &other)
            Reset(other.Detach());
        return *this;
    }

    Handle Get() const noexcept { return m_h; }
    operator Handle() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return m_h != Traits::Invalid(); }

    // Gives up ownership without closing.
    Handle Detach() noexcept
    {
        Handle h = m_h;
        m_h = Traits::Invalid();
        return h;
    }
    void Reset(Handle h = Traits::Invalid()) noexcept
    {
        if (m_h != Traits::Invalid())
            Traits::Close(m_h);
        m_h = h;
    }

private:
    Handle m_h = Traits::Invalid();
};

namespace handle_traits {
template <typename T>
struct GdiObject {
    using Handle = T;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};
struct Kernel {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct File {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct Mutex {  // owned by this thread until closed
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::ReleaseMutex(h); ::CloseHandle(h); }
};
struct RegKey {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::RegCloseKey(h); }
};
struct CreatedDC {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
};
struct Menu {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyMenu(h); }
};
struct Cursor {
    using Handle = HCURSOR;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyCursor(h); }
};
struct Icon {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyIcon(h); }
};
struct Module {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};
struct Global {
    using Handle = HGLOBAL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::GlobalFree(h); }
};
}  // namespace handle_traits

template <typename T>
using CGdiObject = CHandleOwner<handle_traits::GdiObject<T>>;
using CBitmapHandle = CGdiObject<HBITMAP>;
using CPenHandle = CGdiObject<HPEN>;
using CBrushHandle = CGdiObject<HBRUSH>;
using CFontHandle = CGdiObject<HFONT>;
using CPaletteHandle = CGdiObject<HPALETTE>;
using CKernelHandle = CHandleOwner<handle_traits::Kernel>;
using CFileHandle = CHandleOwner<handle_traits::File>;
using COwnedMutex = CHandleOwner<handle_traits::Mutex>;
using CRegKey = CHandleOwner<handle_traits::RegKey>;
using CCreatedDC = CHandleOwner<handle_traits::CreatedDC>;  // CreateDC, CreateCompatibleDC
using CMenuHandle = CHandleOwner<handle_traits::Menu>;
using CCursorHandle = CHandleOwner<handle_traits::Cursor>;
using CIconHandle = CHandleOwner<handle_traits::Icon>;
using CModuleHandle = CHandleOwner<handle_traits::Module>;
using CGlobalMemory = CHandleOwner<handle_traits::Global>;

// Base of the scoped guards below: fixed to one scope, neither copied nor moved.
class CScopeGuardBase
{
public:
    CScopeGuardBase() = default;
    CScopeGuardBase(const CScopeGuardBase&) = delete;
    CScopeGuardBase& operator=(const CScopeGuardBase&) = delete;
};

// GetDC/GetWindowDC of a window (null: the screen), released with ReleaseDC.
class CWindowDC : CScopeGuardBase
{
public:
    enum Area { Client, Whole };
    explicit CWindowDC(HWND hwnd, Area area = Client)
        : m_hwnd(hwnd), m_hdc(area == Client ? ::GetDC(hwnd) : ::GetWindowDC(hwnd)) {}
    ~CWindowDC()
    {
        if (m_hdc)
            ::ReleaseDC(m_hwnd, m_hdc);
    }
    operator HDC() const { return m_hdc; }
    explicit operator bool() const { return m_hdc != nullptr; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

// BeginPaint/EndPaint.
class CPaintDC : CScopeGuardBase
{
public:
    explicit CPaintDC(HWND hwnd) : m_hwnd(hwnd), m_hdc(::BeginPaint(hwnd, &m_ps)) {}
    ~CPaintDC() { ::EndPaint(m_hwnd, &m_ps); }
    operator HDC() const { return m_hdc; }
    const PAINTSTRUCT& Info() const { return m_ps; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_hdc;
};

// Selects a GDI object into a DC and puts the previous one back.
class CSelectObject : CScopeGuardBase
{
public:
    CSelectObject(HDC hdc, HGDIOBJ obj) : m_hdc(hdc), m_old(::SelectObject(hdc, obj)) {}
    ~CSelectObject()
    {
        if (m_old && m_old != HGDI_ERROR)
            ::SelectObject(m_hdc, m_old);
    }

private:
    HDC m_hdc;
    HGDIOBJ m_old;
};

// SaveDC/RestoreDC around drawing that changes the DC's state.
class CSaveDC : CScopeGuardBase
{
public:
    explicit CSaveDC(HDC hdc) : m_hdc(hdc), m_saved(::SaveDC(hdc)) {}
    ~CSaveDC()
    {
        if (m_saved)
            ::RestoreDC(m_hdc, -1);
    }

private:
    HDC m_hdc;
    int m_saved;
};

// GlobalLock/GlobalUnlock of a movable block. Get() is null when the lock failed.
template <typename T = BYTE>
class CGlobalLock : CScopeGuardBase
{
public:
    explicit CGlobalLock(HGLOBAL h) : m_h(h), m_p(h ? static_cast<T*>(::GlobalLock(h)) : nullptr) {}
    ~CGlobalLock()
    {
        if (m_p)
            ::GlobalUnlock(m_h);
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    HGLOBAL m_h;
    T* m_p;
};

// OpenClipboard/CloseClipboard.
class CClipboard : CScopeGuardBase
{
public:
    explicit CClipboard(HWND owner) : m_bOpen(::OpenClipboard(owner) != FALSE) {}
    ~CClipboard()
    {
        if (m_bOpen)
            ::CloseClipboard();
    }
    bool IsOpen() const { return m_bOpen; }
    // Closes it early, where the order of events matters.
    void Close()
    {
        if (m_bOpen)
            ::CloseClipboard();
        m_bOpen = false;
    }

private:
    bool m_bOpen;
};

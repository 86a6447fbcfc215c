// Owners of the system resources the program takes. Each gives its resource back when it goes
// out of scope, on every path, so that no function has to remember to. None is copyable;
// the handle owners can be moved, and Detach() hands a resource on (to the clipboard, say).
#pragma once

#include <windows.h>

// The "no handle" value of most handle types.
struct NullHandle {
    template <typename H>
    static H Value() noexcept { return nullptr; }
};
// CreateFile's: a file handle of 0 is a valid one.
struct InvalidHandleValue {
    template <typename H>
    static H Value() noexcept { return INVALID_HANDLE_VALUE; }
};

// A handle and the function that gives it back. Every owner of a handle is this one template.
template <typename H, auto Close, typename Invalid = NullHandle>
class CHandleOwner
{
public:
    using Handle = H;

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
    explicit operator bool() const noexcept { return m_h != None(); }

    // Gives up ownership without closing.
    Handle Detach() noexcept
    {
        Handle h = m_h;
        m_h = None();
        return h;
    }
    void Reset(Handle h = None()) noexcept
    {
        if (m_h != None())
            Close(m_h);
        m_h = h;
    }

private:
    static Handle None() noexcept { return Invalid::template Value<Handle>(); }

    Handle m_h = None();
};

namespace handle_close {
// A mutex this thread owns is released before its handle goes.
inline void ReleaseMutexAndClose(HANDLE h)
{
    ::ReleaseMutex(h);
    ::CloseHandle(h);
}
// A block whose pointer is its handle (GMEM_FIXED), typed by what it holds.
template <typename T>
void FreeFixedBlock(T* p)
{
    ::GlobalFree(static_cast<HGLOBAL>(static_cast<void*>(p)));
}
inline void ReleaseVirtual(void* p)
{
    ::VirtualFree(p, 0, MEM_RELEASE);
}
}  // namespace handle_close

template <typename T>
using CGdiObject = CHandleOwner<T, &::DeleteObject>;
using CBitmapHandle = CGdiObject<HBITMAP>;
using CPenHandle = CGdiObject<HPEN>;
using CBrushHandle = CGdiObject<HBRUSH>;
using CFontHandle = CGdiObject<HFONT>;
using CPaletteHandle = CGdiObject<HPALETTE>;
using CKernelHandle = CHandleOwner<HANDLE, &::CloseHandle>;
using CFileHandle = CHandleOwner<HANDLE, &::CloseHandle, InvalidHandleValue>;
using CFindHandle = CHandleOwner<HANDLE, &::FindClose, InvalidHandleValue>;  // FindFirstFile
using COwnedMutex = CHandleOwner<HANDLE, &handle_close::ReleaseMutexAndClose>;
using CRegKey = CHandleOwner<HKEY, &::RegCloseKey>;
using CCreatedDC = CHandleOwner<HDC, &::DeleteDC>;  // CreateDC, CreateCompatibleDC
using CMenuHandle = CHandleOwner<HMENU, &::DestroyMenu>;
using CCursorHandle = CHandleOwner<HCURSOR, &::DestroyCursor>;
using CIconHandle = CHandleOwner<HICON, &::DestroyIcon>;
using CModuleHandle = CHandleOwner<HMODULE, &::FreeLibrary>;
using CWindowHandle = CHandleOwner<HWND, &::DestroyWindow>;  // a window made with CreateWindowEx
using CGlobalMemory = CHandleOwner<HGLOBAL, &::GlobalFree>;
// A fixed global block used through its pointer (a video frame's DIB, say).
template <typename T>
using CFixedBlock = CHandleOwner<T*, &handle_close::FreeFixedBlock<T>>;
// Pages of this process's own, reserved and committed by VirtualAlloc.
using CVirtualBlock = CHandleOwner<void*, &handle_close::ReleaseVirtual>;

// Base of the scoped guards below: fixed to one scope, neither copied nor moved.
class CScopeGuardBase
{
public:
    CScopeGuardBase() = default;
    CScopeGuardBase(const CScopeGuardBase&) = delete;
    CScopeGuardBase& operator=(const CScopeGuardBase&) = delete;
};

// A device context of a window, released with ReleaseDC: GetDC for the client area
// (CClientDC), GetWindowDC for the whole window, frame and caption included (CWindowDC).
// A null window means the whole screen in both.
template <HDC(WINAPI* Acquire)(HWND)>
class CWindowDCOf : CScopeGuardBase
{
public:
    explicit CWindowDCOf(HWND hwnd) : m_hwnd(hwnd), m_hdc(Acquire(hwnd)) {}
    ~CWindowDCOf()
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
using CClientDC = CWindowDCOf<&::GetDC>;
using CWindowDC = CWindowDCOf<&::GetWindowDC>;

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

// OpenClipboard/CloseClipboard. Other programs hold the clipboard open for moments (a viewer
// that reads each change, say): with patience, the opening is tried again for that long.
class CClipboard : CScopeGuardBase
{
public:
    explicit CClipboard(HWND owner, DWORD patienceMs = 0) : m_bOpen(::OpenClipboard(owner) != FALSE)
    {
        for (const DWORD start = ::GetTickCount(); !m_bOpen && ::GetTickCount() - start < patienceMs;) {
            ::Sleep(20);
            m_bOpen = ::OpenClipboard(owner) != FALSE;
        }
    }
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

// The mouse captured for a window (SetCapture) across the messages of one drag. Released by
// Release() or on destruction, and only while that window still has it: a capture that the
// system or another window took away is not released a second time.
class CMouseCapture : CScopeGuardBase
{
public:
    CMouseCapture() = default;
    ~CMouseCapture() { Release(); }

    void Take(HWND hwnd)
    {
        ::SetCapture(hwnd);
        m_hwnd = hwnd;
    }
    // ReleaseCapture sends WM_CAPTURECHANGED at once; by then this guard holds nothing, so a
    // handler of that message may call Release again.
    void Release()
    {
        const HWND hwnd = m_hwnd;
        m_hwnd = nullptr;
        if (hwnd && ::GetCapture() == hwnd)
            ::ReleaseCapture();
    }
    bool IsHeld() const { return m_hwnd && ::GetCapture() == m_hwnd; }

private:
    HWND m_hwnd = nullptr;
};

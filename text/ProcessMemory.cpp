#include "text/ProcessMemory.h"


namespace {
// Every process right of the older headers; only memory operation, read and write are used.
const DWORD kProcessAccess = 0x001F0FFF;
}  // namespace

CProcessMemory::CProcessMemory(HWND window)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == 0)
        return;
    m_hProcess.Reset(::OpenProcess(kProcessAccess, FALSE, pid));
    if (!m_hProcess)
        m_dwOpenError = ::GetLastError();
}

CProcessMemory::~CProcessMemory()
{
    for (void* block : m_remoteBlocks)
        ::VirtualFreeEx(m_hProcess, block, 0, MEM_RELEASE);
}

void* CProcessMemory::Alloc(int size)
{
    if (!m_hProcess || size <= 0)
        return nullptr;
    void* block = ::VirtualAllocEx(m_hProcess, nullptr, static_cast<SIZE_T>(size), MEM_COMMIT, PAGE_READWRITE);
    if (block)
        m_remoteBlocks.push_back(block);
    return block;
}

BOOL CProcessMemory::Write(void* remote, const void* local, int size)
{
    if (!remote || !local)
        return FALSE;
    return ::WriteProcessMemory(m_hProcess, remote, local, static_cast<SIZE_T>(size), nullptr);
}

BOOL CProcessMemory::Read(const void* remote, void* local, int size)
{
    if (!remote || !local)
        return FALSE;
    return ::ReadProcessMemory(m_hProcess, remote, local, static_cast<SIZE_T>(size), nullptr);
}

bool CProcessMemory::IsTarget64Bit() const
{
    return m_hProcess && IsProcess64Bit(m_hProcess);
}

bool IsProcess64Bit(HANDLE process)
{
    BOOL wow64 = FALSE;
#ifdef _WIN64
    // On 64-bit Windows a process is 64-bit unless it runs under WOW64.
    ::IsWow64Process(process, &wow64);
    return !wow64;
#else
    // A 32-bit process sees 64-bit ones only from under WOW64 itself.
    BOOL selfWow64 = FALSE;
    if (!::IsWow64Process(::GetCurrentProcess(), &selfWow64) || !selfWow64)
        return false;
    ::IsWow64Process(process, &wow64);
    return !wow64;
#endif
}

bool IsProcessLargeAddressAware(HANDLE process)
{
    char path[MAX_PATH] = "";
    DWORD size = MAX_PATH;
    if (!::QueryFullProcessImageNameA(process, 0, path, &size))
        return true;
    CFileHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return true;
    IMAGE_DOS_HEADER dos = {};
    IMAGE_FILE_HEADER header = {};
    DWORD read = 0;
    if (!::ReadFile(file, &dos, sizeof dos, &read, nullptr) || read != sizeof dos || dos.e_magic != IMAGE_DOS_SIGNATURE)
        return true;
    // The file header follows the 4-byte "PE\0\0" signature.
    if (::SetFilePointer(file, dos.e_lfanew + 4, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !::ReadFile(file, &header, sizeof header, &read, nullptr) || read != sizeof header)
        return true;
    return (header.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE) != 0;
}

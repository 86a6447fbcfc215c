#include "ImageTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace image_testing {

HGLOBAL MakeDib(int width, int height, WORD bitCount, DWORD clrUsed, const std::vector<DWORD>& colors,
                const std::vector<BYTE>& rows)
{
    const DWORD stride = static_cast<DWORD>((width * bitCount + 31) / 32 * 4);
    const DWORD tableEntries = clrUsed ? clrUsed : (bitCount <= 8 ? 1u << bitCount : 0u);
    const SIZE_T size = sizeof(BITMAPINFOHEADER) + tableEntries * 4 + static_cast<SIZE_T>(stride) * height;
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* bytes = static_cast<BYTE*>(::GlobalLock(h));
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biClrUsed = clrUsed;
    std::memcpy(bytes, &header, sizeof header);
    auto* table = reinterpret_cast<RGBQUAD*>(bytes + sizeof header);
    for (DWORD i = 0; i < tableEntries && i < colors.size(); ++i) {
        table[i].rgbRed = static_cast<BYTE>(colors[i] >> 16);
        table[i].rgbGreen = static_cast<BYTE>(colors[i] >> 8);
        table[i].rgbBlue = static_cast<BYTE>(colors[i]);
    }
    std::memcpy(bytes + sizeof header + tableEntries * 4, rows.data(),
                std::min<size_t>(rows.size(), static_cast<size_t>(stride) * height));
    ::GlobalUnlock(h);
    return h;
}

std::vector<BYTE> BlockBytes(HGLOBAL hDib)
{
    const auto* p = static_cast<const BYTE*>(::GlobalLock(hDib));
    std::vector<BYTE> bytes(p, p + ::GlobalSize(hDib));
    ::GlobalUnlock(hDib);
    return bytes;
}

BITMAPINFOHEADER BlockHeader(HGLOBAL hDib)
{
    BITMAPINFOHEADER header;
    std::memcpy(&header, ::GlobalLock(hDib), sizeof header);
    ::GlobalUnlock(hDib);
    return header;
}

std::vector<BYTE> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {
DWORD BigEndian(const BYTE* p)
{
    return static_cast<DWORD>(p[0]) << 24 | static_cast<DWORD>(p[1]) << 16 | static_cast<DWORD>(p[2]) << 8 | p[3];
}
}  // namespace

std::vector<std::string> PngChunks(const std::vector<BYTE>& file)
{
    static const BYTE signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::string> chunks;
    if (file.size() < 8 || std::memcmp(file.data(), signature, 8) != 0)
        return chunks;
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const size_t length = BigEndian(&file[at]);
        if (length > file.size() - at - 12)
            return {};
        chunks.emplace_back(reinterpret_cast<const char*>(&file[at + 4]), 4);
        at += 12 + length;
    }
    if (at != file.size())
        return {};
    return chunks;
}

bool ReadPngHeader(const std::vector<BYTE>& file, CPngHeader& header)
{
    if (file.size() < 33 || std::memcmp(&file[12], "IHDR", 4) != 0 || BigEndian(&file[8]) != 13)
        return false;
    header.width = BigEndian(&file[16]);
    header.height = BigEndian(&file[20]);
    header.bitDepth = file[24];
    header.colorType = file[25];
    header.compression = file[26];
    header.filter = file[27];
    header.interlace = file[28];
    return true;
}

namespace {
bool StartOnHost(std::string commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hProcess)
        ::CloseHandle(process.hProcess);
    if (process.hThread)
        ::CloseHandle(process.hThread);
    return true;
}

std::string ScratchName()
{
    char name[64];
    std::snprintf(name, sizeof name, "pixlet-image-tests-%lu-%lu", ::GetCurrentProcessId(), ::GetTickCount());
    return name;
}

struct CScratchDir {
    std::string name = ScratchName();
    std::string windows = "Z:\\tmp\\" + name + "\\";
    std::string host = "/tmp/" + name + "/";
    CScratchDir() { ::CreateDirectoryA(windows.c_str(), nullptr); }
    ~CScratchDir()
    {
        // Files made unchangeable by a test must become changeable again to go. Not waited
        // for: the directory goes after this program.
        std::string commandLine = "/bin/sh -c \"chattr -R -i " + host + " 2>/dev/null; rm -rf " + host + "\"";
        StartOnHost(commandLine);
    }
};

CScratchDir& Scratch()
{
    static CScratchDir dir;
    return dir;
}
}  // namespace

const std::string& CScratch::WindowsDir()
{
    return Scratch().windows;
}

const std::string& CScratch::HostDir()
{
    return Scratch().host;
}

int RunOnHost(const std::string& script, DWORD timeoutMs)
{
    static int counter = 0;
    const std::string base = "host-" + std::to_string(++counter);
    const std::string status = CScratch::Host(base + ".status");
    if (!WriteBytes(CScratch::Windows(base + ".sh"),
                    std::vector<BYTE>(script.begin(), script.end())))
        return -1;
    const std::string runner = CScratch::Host(base + ".run");
    const std::string wrapper = "sh " + CScratch::Host(base + ".sh") + "; echo $? > " + status + ".tmp; mv " +
                                status + ".tmp " + status + "\n";
    if (!WriteBytes(CScratch::Windows(base + ".run"), std::vector<BYTE>(wrapper.begin(), wrapper.end())))
        return -1;

    if (!StartOnHost("/bin/sh " + runner))
        return -1;

    const std::string statusFile = CScratch::Windows(base + ".status");
    const DWORD start = ::GetTickCount();
    while (!FileExists(statusFile)) {
        if (::GetTickCount() - start > timeoutMs)
            return -1;
        ::Sleep(5);
    }
    const std::vector<BYTE> text = ReadBytes(statusFile);
    return std::atoi(std::string(text.begin(), text.end()).c_str());
}

}  // namespace image_testing

#include "text/Companion.h"

#include "text/CompanionProtocol.h"
#include "text/ControlReaders.h"
#include "framework/Handles.h"
#include "framework/Unicode.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

namespace {
// The most that is taken from a reader: the text's own limit, and room for the status. A
// reader that says more is not listened to any further.
const size_t kMaxReplyBytes = kMaxTextBytes + 64 * 1024;
const DWORD kPipeBufferBytes = 64 * 1024;
// The exit code a reader is given when the caller ends it.
const UINT kReaderEndedByCaller = 1;

// The folder of a path, with its last backslash, as the program's own (UTF-8) text.
std::string FolderOf(const wchar_t* path)
{
    const wchar_t* end = path;
    for (const wchar_t* at = path; *at; ++at)
        if (*at == L'\\' || *at == L'/')
            end = at + 1;
    return Utf8(path, static_cast<size_t>(end - path));
}

void Append(CWidePath& path, const char* ascii)
{
    if (!path.empty() && path.back() == L'\0')
        path.pop_back();
    for (; *ascii; ++ascii)
        path.push_back(static_cast<wchar_t>(*ascii));
    path.push_back(L'\0');
}

DWORD RemainingMs(ULONGLONG deadline)
{
    const ULONGLONG now = ::GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

// A pipe for one reply: our end, read with a time-out, and the end the reader inherits as its
// standard output. Named only so that our end can be read asynchronously; the name is this
// process's alone, and the first instance is made here or not at all.
bool MakeReplyPipe(CFileHandle& ours, CFileHandle& theirs)
{
    static LONG s_nPipes = 0;
    char name[96];
    std::snprintf(name, sizeof name, "\\\\.\\pipe\\Pixlet32-reply-%lu-%ld", ::GetCurrentProcessId(),
                  ::InterlockedIncrement(&s_nPipes));
    ours.Reset(::CreateNamedPipeA(name, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                  PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
                                  kPipeBufferBytes, 0, nullptr));
    if (!ours)
        return false;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    theirs.Reset(::CreateFileA(name, GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(theirs);
}

// The reader's standard input: a pipe on which nothing is written. Closing our end (the one
// that is not inherited) asks the reader to stop.
bool MakeRequestPipe(CKernelHandle& ours, CKernelHandle& theirs)
{
    HANDLE read = nullptr, write = nullptr;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    if (!::CreatePipe(&read, &write, &inheritable, 0))
        return false;
    theirs.Reset(read);
    ours.Reset(write);
    return ::SetHandleInformation(write, HANDLE_FLAG_INHERIT, 0) != FALSE;
}

enum class Woke { Ready, TimedOut, Stopped };

// Waits until the event is set, the deadline passes or a stop is asked (`stop`, if not null).
// Meanwhile it answers what other threads send to this one, as SendMessage does while it
// waits: the program being read may be waiting for an answer of ours while our reader waits
// for it.
Woke WaitAnswering(HANDLE event, HANDLE stop, ULONGLONG deadline)
{
    const HANDLE handles[2] = {event, stop};
    const DWORD count = stop ? 2 : 1;
    for (;;) {
        const DWORD waited = ::MsgWaitForMultipleObjects(count, handles, FALSE, RemainingMs(deadline), QS_SENDMESSAGE);
        if (waited == WAIT_OBJECT_0)
            return Woke::Ready;
        if (stop && waited == WAIT_OBJECT_0 + 1)
            return Woke::Stopped;
        if (waited != WAIT_OBJECT_0 + count)
            return Woke::TimedOut;
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// The reply as it arrives: its whole lines, told to the sink as they come, and the rest. The
// text is UTF-8, in which a CR LF is never part of another character.
class CReplyCollector
{
public:
    explicit CReplyCollector(CTextSink* sink) : m_pSink(sink) {}
    // False once the sink wants no more.
    bool Add(const char* data, size_t size)
    {
        if (m_lines.size() + m_rest.size() + size > kMaxReplyBytes)
            return true;
        m_rest.append(data, size);
        if (!m_pSink || m_bTextEnded)
            return true;
        // Only the text before its terminating NUL; the status after it is no line.
        const size_t nul = m_rest.find('\0');
        m_bTextEnded = nul != std::string::npos;
        const size_t textEnd = m_bTextEnded ? nul : m_rest.size();
        const size_t last = textEnd < 2 ? std::string::npos : m_rest.rfind("\r\n", textEnd - 2);
        if (last == std::string::npos)
            return true;
        for (size_t at = m_rest.find("\r\n"); at <= last; at = m_rest.find("\r\n", at + 2))
            ++m_nLines;
        m_lines.append(m_rest, 0, last + 2);
        m_rest.erase(0, last + 2);
        m_pSink->Counted(CutUnit::TreeItems, m_nLines, -1);
        return m_pSink->Grew(m_lines);
    }
    std::string Take() { return m_lines + m_rest; }
    // The rest of the reply is taken without telling the sink.
    void Quiet() { m_pSink = nullptr; }

private:
    CTextSink* m_pSink;
    std::string m_lines;
    std::string m_rest;
    LRESULT m_nLines = 0;
    bool m_bTextEnded = false;
};

enum class Collected { Ended, TimedOut, Stopped };

// Reads the reply until the reader's end of the pipe goes, the deadline passes, or the sink
// wants no more or a stop is asked (`stop`, if not null).
Collected CollectReply(HANDLE pipe, ULONGLONG deadline, CReplyCollector& reply, HANDLE stop)
{
    CKernelHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!event)
        return Collected::TimedOut;
    std::vector<char> buffer(kPipeBufferBytes);
    for (;;) {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = event;
        DWORD got = 0;
        if (!::ReadFile(pipe, buffer.data(), kPipeBufferBytes, nullptr, &overlapped)) {
            if (::GetLastError() != ERROR_IO_PENDING)
                return Collected::Ended;  // the reader's end is closed: it has ended
            const Woke woke = WaitAnswering(event, stop, deadline);
            if (woke != Woke::Ready) {
                ::CancelIo(pipe);
                // The buffer is ours again; what arrived meanwhile is kept.
                if (::GetOverlappedResult(pipe, &overlapped, &got, TRUE))
                    reply.Add(buffer.data(), got);
                return woke == Woke::Stopped ? Collected::Stopped : Collected::TimedOut;
            }
        }
        if (!::GetOverlappedResult(pipe, &overlapped, &got, FALSE))
            return Collected::Ended;
        if (!reply.Add(buffer.data(), got))
            return Collected::Stopped;
    }
}

// Passes the text on as it grows, then its end and the status; and tells the reading to stop
// once the caller has closed the reader's standard input (a pipe: any other is never closed
// to ask it).
class CReplyWriter : public CTextSink
{
public:
    CReplyWriter(HANDLE output, HANDLE input)
        : m_hOutput(output), m_hInput(input), m_bAskable(::GetFileType(input) == FILE_TYPE_PIPE)
    {
    }
    // False once nobody reads it: the reading may as well stop.
    bool Grew(const std::string& text) override { return SendFrom(text); }
    // A look costs a call to the system, more than a query of a fast control: one every
    // kStopLookMs is soon enough.
    bool StopAsked() override
    {
        const ULONGLONG now = ::GetTickCount64();
        if (!m_bAskable || m_bStop || now < m_nextLook)
            return m_bStop;
        m_nextLook = now + kStopLookMs;
        DWORD available = 0;
        m_bStop = !::PeekNamedPipe(m_hInput, nullptr, 0, nullptr, &available, nullptr) &&
                  ::GetLastError() == ERROR_BROKEN_PIPE;
        return m_bStop;
    }
    void Finish(const std::string& text, const Outcome& result)
    {
        if (SendFrom(text)) {
            const std::string status = ReplyStatus(result);
            Write(status.data(), status.size());
        }
    }

private:
    bool SendFrom(const std::string& text)
    {
        if (text.size() > m_sent && Write(text.data() + m_sent, text.size() - m_sent))
            m_sent = text.size();
        return m_bOpen;
    }
    bool Write(const char* data, size_t size)
    {
        while (m_bOpen && size > 0) {
            DWORD wrote = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, kPipeBufferBytes));
            if (!::WriteFile(m_hOutput, data, chunk, &wrote, nullptr) || wrote == 0)
                m_bOpen = false;
            data += wrote;
            size -= wrote;
        }
        return m_bOpen;
    }

    static const ULONGLONG kStopLookMs = 20;
    HANDLE m_hOutput;
    HANDLE m_hInput;
    bool m_bAskable;
    bool m_bStop = false;
    ULONGLONG m_nextLook = 0;
    size_t m_sent = 0;
    bool m_bOpen = true;
};
}  // namespace

CWidePath CompanionPath()
{
    CWidePath path(32768, L'\0');
    DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    while (length > 0 && path[length - 1] != L'\\' && path[length - 1] != L'/')
        --length;
    path.resize(length);
    Append(path, kCompanionName);
    return path;
}

Outcome ReadThroughCompanion(HWND window, std::string& text, CTextSink* sink)
{
    return ReadThroughCompanion(CompanionPath().data(), window, CompanionTimeoutMs(kReadLimits), text, sink);
}

Outcome ReadThroughCompanion(const wchar_t* program, HWND window, DWORD timeoutMs, std::string& text, CTextSink* sink)
{
    CompanionEnd end;
    if (::GetFileAttributesW(program) == INVALID_FILE_ATTRIBUTES) {
        end.kind = CompanionEnd::Kind::Missing;
        end.folder = FolderOf(program);
        return FinishCompanionReading(std::string(), end, text);
    }
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    CFileHandle ours, theirs;
    CKernelHandle request, requestTheirs;
    CWidePath commandLine(1, L'"');
    commandLine.insert(commandLine.end(), program, program + ::lstrlenW(program));
    Append(commandLine, ("\" " + ReaderArguments(window)).c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION info = {};
    bool started = false;
    if (MakeReplyPipe(ours, theirs) && MakeRequestPipe(request, requestTheirs)) {
        // The reader inherits its ends of the pipes, the only handles this program makes
        // inheritable.
        startup.hStdOutput = theirs;
        startup.hStdInput = requestTheirs;
        started = ::CreateProcessW(program, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                   &info) != FALSE;
    }
    if (!started) {
        end.kind = CompanionEnd::Kind::NotStarted;
        end.code = ::GetLastError();
        return FinishCompanionReading(std::string(), end, text);
    }
    CKernelHandle process(info.hProcess);
    CKernelHandle(info.hThread).Reset();
    theirs.Reset();  // the reply ends when the reader's copy goes with it
    requestTheirs.Reset();

    if (sink)
        sink->Counted(CutUnit::TreeItems, 0, -1);
    CReplyCollector reply(sink);
    const Collected collected = CollectReply(ours, deadline, reply, sink ? sink->StopEvent() : nullptr);
    if (collected == Collected::Ended && ::WaitForSingleObject(process, RemainingMs(deadline)) == WAIT_OBJECT_0) {
        end.kind = CompanionEnd::Kind::Ended;
        ::GetExitCodeProcess(process, &end.code);
        return FinishCompanionReading(reply.Take(), end, text);
    }
    // Stopped, or past its time (a hung reader, or one that reads a hung program past all its
    // own limits): what it gave so far is what the user gets. It is asked to stop, and given one
    // query's time-out to end its reading, free what it placed in the other program and end;
    // only then is it ended.
    const std::string gathered = reply.Take();
    request.Reset();
    reply.Quiet();
    const ULONGLONG grace = ::GetTickCount64() + kReaderStopGraceMs;
    if (collected != Collected::Ended)
        CollectReply(ours, grace, reply, nullptr);  // read on, so that its writes never block it
    if (::WaitForSingleObject(process, RemainingMs(grace)) != WAIT_OBJECT_0) {
        ::TerminateProcess(process, kReaderEndedByCaller);
        ::WaitForSingleObject(process, 5000);
    }
    end.kind = collected == Collected::Stopped ? CompanionEnd::Kind::Stopped : CompanionEnd::Kind::TimedOut;
    end.timeoutMs = timeoutMs;
    return FinishCompanionReading(gathered, end, text);
}

DWORD ServeTextReading(HWND window, HANDLE output, HANDLE input)
{
    CReplyWriter writer(output, input);
    std::string text;
    Outcome result;
    try {
        result = GetControlText(window, text, kReadLimits, &writer);
    } catch (const std::bad_alloc&) {
        result = Outcome::Of(Outcome::Kind::OutOfMemory);
        text.clear();  // only the status follows
    }
    // The reading's blocks in the other program are freed by now: the answer is its last word.
    writer.Finish(text, result);
    return kReaderExitAnswered;
}

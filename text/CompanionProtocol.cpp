#include "text/CompanionProtocol.h"

#include "text/ControlQuery.h"

#include <cstdio>
#include <cstring>

const char kCompanionName[] = "Pixlet64.exe";

namespace {
const char kReaderSwitch[] = "/pixlet-read-text";
const size_t kHandleDigits = 8;

struct StatusWord {
    Outcome::Kind kind;
    const char* word;
};
const StatusWord kStatusWords[] = {
    {Outcome::Kind::Done, "whole"},          {Outcome::Kind::Cut, "cut"},
    {Outcome::Kind::Aborted, "aborted"},     {Outcome::Kind::Refused, "refused"},
    {Outcome::Kind::OutOfMemory, "nomemory"},
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The text up to and with its last CR LF: the whole items of a reply that was cut short.
std::string WholeLines(const std::string& text)
{
    const size_t end = text.rfind("\r\n");
    return end == std::string::npos ? std::string() : text.substr(0, end + 2);
}

size_t LineCount(const std::string& text)
{
    size_t lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lines;
    return lines;
}

std::string Seconds(DWORD milliseconds)
{
    return GroupedNumber((milliseconds + 999) / 1000) + " seconds";
}

}  // namespace

StartRequest ParseStartArguments(const char* arguments)
{
    StartRequest request;
    std::string rest(arguments ? arguments : "");
    while (!rest.empty() && IsBlank(rest.back()))
        rest.pop_back();
    size_t at = 0;
    while (at < rest.size() && IsBlank(rest[at]))
        ++at;
    rest.erase(0, at);
    if (rest.empty())
        return request;

    // The program itself takes no arguments and, as it always has, starts whatever it is given;
    // only the reader mode's own switch asks for something else, and must then be exact.
    const size_t switchLength = std::strlen(kReaderSwitch);
    if (rest.compare(0, switchLength, kReaderSwitch) != 0)
        return request;
    request.kind = StartRequest::Kind::Refused;
    if (rest.size() != switchLength + 1 + kHandleDigits || rest[switchLength] != ' ')
        return request;
    unsigned long value = 0;
    for (size_t i = switchLength + 1; i < rest.size(); ++i) {
        const int digit = HexValue(rest[i]);
        if (digit < 0)
            return request;
        value = value * 16 + static_cast<unsigned long>(digit);
    }
    if (value == 0)
        return request;
    // A 32-bit handle value as a 64-bit process sees it: sign-extended, as the system does.
    request.window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
    request.kind = StartRequest::Kind::ReadText;
    return request;
}

std::string ReaderArguments(HWND window)
{
    char digits[kHandleDigits + 1];
    std::snprintf(digits, sizeof digits, "%08lX",
                  static_cast<unsigned long>(static_cast<ULONG>(reinterpret_cast<ULONG_PTR>(window))));
    return std::string(kReaderSwitch) + " " + digits;
}

std::string ReplyStatus(const Outcome& result)
{
    std::string status(1, '\0');
    for (const StatusWord& entry : kStatusWords)
        if (entry.kind == result.kind) {
            status += entry.word;
            break;
        }
    return status + "\n" + result.message;
}

CompanionReply ParseReply(const std::string& bytes)
{
    CompanionReply reply;
    const size_t end = bytes.find('\0');
    const size_t newline = end == std::string::npos ? end : bytes.find('\n', end);
    if (newline != std::string::npos) {
        const std::string word = bytes.substr(end + 1, newline - end - 1);
        for (const StatusWord& entry : kStatusWords)
            if (word == entry.word) {
                reply.complete = true;
                reply.result.kind = entry.kind;
                reply.result.message = bytes.substr(newline + 1);
                reply.text = bytes.substr(0, end);
                return reply;
            }
    }
    reply.text = WholeLines(bytes.substr(0, end));
    return reply;
}

DWORD CompanionTimeoutMs(const ReadLimits& limits)
{
    return limits.maxMilliseconds + kControlQueryTimeoutMs + kCompanionStartMs;
}

Outcome FinishCompanionReading(const std::string& bytes, const CompanionEnd& end, std::string& text)
{
    const std::string companion = kCompanionName;
    switch (end.kind) {
    case CompanionEnd::Kind::Missing:
        return Outcome::Refusal(std::string(kTreeHandlesRefusal) + " " + companion + ", which reads them, is not in " +
                                end.folder + " beside this program.");
    case CompanionEnd::Kind::NotStarted:
        return Outcome::Refusal(std::string(kTreeHandlesRefusal) + " " + companion +
                                ", which reads them, could not be started (error " + std::to_string(end.code) + ").");
    case CompanionEnd::Kind::Ended:
    case CompanionEnd::Kind::TimedOut:
    case CompanionEnd::Kind::Stopped:
        break;
    }
    CompanionReply reply = ParseReply(bytes);
    if (reply.complete) {
        text = std::move(reply.text);
        return reply.result;
    }
    if (end.kind == CompanionEnd::Kind::Stopped) {
        if (reply.text.empty())
            return Outcome::Refusal(NothingReadMessage(CutReason::Stopped));
        text = std::move(reply.text);
        return Outcome::Of(Outcome::Kind::Cut, CutNote(CutUnit::TreeItems, static_cast<LRESULT>(LineCount(text)), 0,
                                                       CutReason::Stopped, kReadLimits));
    }
    const std::string why = end.kind == CompanionEnd::Kind::TimedOut
                                ? companion + " did not finish reading it within " + Seconds(end.timeoutMs)
                                : companion + " ended before it had read all of it (exit code " +
                                      std::to_string(end.code) + ")";
    if (reply.text.empty())
        return Outcome::Refusal("The items of this tree view could not be read: " + why + ".");
    text = std::move(reply.text);
    return Outcome::Of(Outcome::Kind::Cut,
                       CutWhat(CutUnit::TreeItems, static_cast<LRESULT>(LineCount(text)), 0) + ": " + why + ".");
}

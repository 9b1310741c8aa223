#include "files/process.h"
#include "files/win32.h"

#include <windows.h>

#include <shellapi.h>

namespace files {

namespace {

HANDLE handleOf(StandardStream::Which which)
{
    return GetStdHandle(which == StandardStream::Which::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

// The length of `text` that holds only whole UTF-8 sequences.
std::size_t wholeSequences(const std::string& text)
{
    std::size_t end = text.size();
    std::size_t back = 0;
    while (back < 3 && back < end && (static_cast<unsigned char>(text[end - 1 - back]) & 0xC0) == 0x80)
        ++back;
    if (back < end) {
        const auto lead = static_cast<unsigned char>(text[end - 1 - back]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (length > back + 1)
            return end - 1 - back;
    }
    return end;
}

int writeAll(HANDLE h, const char* data, std::size_t size)
{
    while (size > 0) {
        DWORD done = 0;
        if (!WriteFile(h, data, static_cast<DWORD>(size > (1u << 30) ? (1u << 30) : size), &done, nullptr))
            return win32::lastError();
        if (done == 0)
            return ENOSPC;
        data += done;
        size -= done;
    }
    return 0;
}

}  // namespace

void useLargeMemoryPages()
{
    // Windows commits and uses pages its own way; nothing to ask.
}

std::int64_t coarseMilliseconds()
{
    return static_cast<std::int64_t>(GetTickCount64());
}

unsigned long processId()
{
    return GetCurrentProcessId();
}

LocalDate localDate(std::time_t moment)
{
    std::tm local{};
    localtime_s(&local, &moment);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string environmentVariable(const std::string& name)
{
    const std::wstring wide = win32::widen(name);
    const DWORD n = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
    if (n == 0)
        return {};
    std::wstring value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(wide.c_str(), value.data(), n);
    value.resize(got);
    return win32::narrow(value);
}

std::vector<std::string> programArguments(int, char**)
{
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(win32::narrow(wide[i]));
    LocalFree(wide);
    return arguments;
}

StandardStream::StandardStream(Which which) : which_(which)
{
    DWORD mode = 0;
    console_ = GetConsoleMode(handleOf(which), &mode) != 0;
}

int StandardStream::write(const char* data, std::size_t size)
{
    const HANDLE h = handleOf(which_);
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return 0;  // no stream to write to, as for a program started without a console
    // Windows' line ends: CR LF, on the console and in a file alike.
    std::string text;
    text.reserve(pending_.size() + size + size / 16);
    text = pending_;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n' && (i > 0 ? data[i - 1] : last_) != '\r')
            text += '\r';
        text += data[i];
    }
    if (size > 0)
        last_ = data[size - 1];
    pending_.clear();
    if (!console_)
        return writeAll(h, text.data(), text.size());
    const std::size_t whole = wholeSequences(text);
    pending_ = text.substr(whole);
    text.resize(whole);
    const std::wstring wide = win32::widen(text);
    std::size_t done = 0;
    while (done < wide.size()) {
        DWORD n = 0;
        if (!WriteConsoleW(h, wide.data() + done, static_cast<DWORD>(wide.size() - done), &n, nullptr))
            return win32::lastError();
        done += n;
    }
    return 0;
}

int StandardStream::close()
{
    // Nothing is held back: every write went to the system when it was made.
    return 0;
}

}  // namespace files

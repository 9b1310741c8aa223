// What a program of ours asks of its process, the same way on both platforms: its id, its
// arguments and environment in UTF-8, and its standard output and error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace files {

unsigned long processId();

// Milliseconds of a steady clock that may lag a tick behind (a few milliseconds), cheap enough
// to ask at every post: Linux's coarse monotonic clock, Windows's tick count.
std::int64_t coarseMilliseconds();

// Lets the heap keep what it was given and be backed by large pages where the system allows
// it: a conversion fills tens of megabytes of buffers, and on a virtual machine each first use
// of a 4 KiB page is a costly trap. Called once, first thing in main. Does nothing on systems
// (or allocators) where it does not apply.
void useLargeMemoryPages();

// The calendar date of a moment in local time, as the tables' headers stamp it.
struct LocalDate {
    int year = 0, month = 0, day = 0;
};
LocalDate localDate(std::time_t moment);

// An environment variable's value in UTF-8; empty when it is not set.
std::string environmentVariable(const std::string& name);

// The program's arguments after its own name, in UTF-8. On Windows they come from the wide
// command line, so that a folder such as "José Núñez" survives any ANSI code page.
std::vector<std::string> programArguments(int argc, char** argv);

// Standard output or error, written as UTF-8 text. On a Windows console the text goes through
// the console's wide-character call, so accents show whatever its code page; redirected to a
// file or a pipe it stays UTF-8, with CR LF line ends on Windows. A reader that went away is
// an error returned (EPIPE), never a signal that ends the program.
class StandardStream {
public:
    enum class Which { Output, Error };
    explicit StandardStream(Which which);
    StandardStream(const StandardStream&) = delete;
    StandardStream& operator=(const StandardStream&) = delete;

    // 0 or an error.
    int write(const char* data, std::size_t size);
    // Closes the stream, so that an error of the last write is heard.
    int close();

private:
    Which which_;
    bool console_ = false;
    std::string pending_;  // on a console, the start of a UTF-8 sequence that a write cut
    char last_ = '\0';     // the last byte written, so that a CR LF cut in two stays one
};

}  // namespace files

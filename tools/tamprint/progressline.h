// The progress of a document of more than kProgressPages pages, on a stream
// (standard error). On a terminal it is one line, "tamprint: page N/M",
// rewritten in place at most every kProgressInterval and always for the
// last page, so that a long job costs no more than a few writes a second.
// Anywhere else (a file, a pipe) the line would only fill a log: no line per
// page is written, only the count once the last page is printed.
#pragma once
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <optional>

namespace tamprint {

inline constexpr size_t kProgressPages = 5;
inline constexpr std::chrono::milliseconds kProgressInterval{250};

class ProgressLine {
public:
    explicit ProgressLine(std::FILE* stream);

    // Told after each page with the pages done and the pages in all.
    void Page(size_t done, size_t total);

    // Ends the line on a terminal once printing stops, whether or not every
    // page printed, so that what follows starts a line of its own.
    void End();

private:
    std::FILE* stream_;
    bool terminal_;
    std::optional<std::chrono::steady_clock::time_point> lastShown_;
};

}  // namespace tamprint

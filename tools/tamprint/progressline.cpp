// The progress line on a terminal, or the page count anywhere else.
#include "progressline.h"

#include <unistd.h>

namespace tamprint {

ProgressLine::ProgressLine(std::FILE* stream) : stream_(stream), terminal_(isatty(fileno(stream)) == 1) {}

void ProgressLine::Page(size_t done, size_t total) {
    if (total <= kProgressPages) return;
    const bool last = done == total;
    if (!terminal_) {
        if (last) std::fprintf(stream_, "tamprint: printed %zu pages\n", total);
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!last && lastShown_ && now - *lastShown_ < kProgressInterval) return;
    std::fprintf(stream_, "\rtamprint: page %zu/%zu", done, total);
    std::fflush(stream_);
    lastShown_ = now;
}

void ProgressLine::End() {
    if (lastShown_) std::fputc('\n', stream_);
    lastShown_.reset();
}

}  // namespace tamprint

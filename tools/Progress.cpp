#include "Progress.h"

#include <cstdio>

#include "Console.h"

namespace quillet::host {
namespace {

// Narrow enough for any terminal, so the line never wraps and "\r" always returns to its start.
constexpr size_t LineWidth = 72;

}  // namespace

Progress::Progress(size_t total)
    : active_(total > MinFiles && StandardErrorIsTerminal()), total_(total) {}

Progress::~Progress() {
    Clear();
}

void Progress::Show(size_t done, const std::string& file) {
    if (!active_)
        return;
    std::string line = "[" + std::to_string(done) + "/" + std::to_string(total_) + "] ";
    // The end of a path says most about it.
    const size_t room = LineWidth - line.size();
    line += file.size() <= room ? file : "..." + file.substr(file.size() - (room - 3));
    const size_t width = line.size();
    if (line.size() < shownWidth_)
        line += std::string(shownWidth_ - line.size(), ' ');
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
    shownWidth_ = width;
}

void Progress::Clear() {
    if (shownWidth_ == 0)
        return;
    std::fprintf(stderr, "\r%s\r", std::string(shownWidth_, ' ').c_str());
    std::fflush(stderr);
    shownWidth_ = 0;
}

}  // namespace quillet::host

#include "desktop/batch/console_layers.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace vetra::desktop::batch {

namespace {

constexpr auto kTerminalInterval = std::chrono::milliseconds(200);
constexpr auto kLogInterval = std::chrono::seconds(5);
constexpr int kBarWidth = 40;

volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) {
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

void installInterruptHandler() {
    std::signal(SIGINT, onInterrupt);
}

void ConsoleReportProgress::processPendingEvents() {
    if (interrupted != 0 && query_ != nullptr) query_->requestHalt();
}

void ConsoleProgress::processPendingEvents() {
    if (interrupted != 0 && driver_ != nullptr) driver_->HaltRequest();
}

platform::MessageAnswer ConsoleMessageBoxes::show(const std::string& text,
                                                  const std::string& caption,
                                                  platform::MessageButtons buttons) {
    ++shown_;
    if (caption.empty())
        std::fprintf(stderr, "ravelo-batch: %s\n", text.c_str());
    else
        std::fprintf(stderr, "ravelo-batch: %s: %s\n", caption.c_str(), text.c_str());
    // Nobody is there to answer: a question is declined, and a request to confirm a halt
    // that the user's interrupt started is confirmed.
    return buttons == platform::MessageButtons::YesNo ? platform::MessageAnswer::No
                                                      : platform::MessageAnswer::Ok;
}

ConsoleProgress::ConsoleProgress() : terminal_(isatty(STDERR_FILENO) != 0) {}

void ConsoleProgress::start(std::int64_t maximum) {
    maximum_ = std::max<std::int64_t>(maximum, 1);
    position_ = 0;
    lastShown_ = std::chrono::steady_clock::now();
}

void ConsoleProgress::advance(std::int64_t by) {
    position_ = std::min(maximum_, position_ + by);
}

void ConsoleProgress::showCounters(std::int64_t shownRecord, const RunCounters& counters) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastShown_ < (terminal_ ? kTerminalInterval : kLogInterval)) return;
    lastShown_ = now;
    const int percent = static_cast<int>(100 * position_ / maximum_);
    if (terminal_) {
        const int filled = percent * kBarWidth / 100;
        std::fprintf(stderr, "\r[%-*.*s] %3d%%  record %lld, %lld with exceptions, %lld messages",
                     kBarWidth, filled, "########################################", percent,
                     static_cast<long long>(shownRecord),
                     static_cast<long long>(counters.exceptionRecords),
                     static_cast<long long>(counters.messagesReported));
        drawn_ = true;
    } else {
        std::fprintf(stderr, "%d%%: record %lld, %lld with exceptions, %lld messages\n", percent,
                     static_cast<long long>(shownRecord),
                     static_cast<long long>(counters.exceptionRecords),
                     static_cast<long long>(counters.messagesReported));
    }
    std::fflush(stderr);
}

void ConsoleProgress::finish() {
    if (drawn_) std::fputc('\n', stderr);
    drawn_ = false;
}

} // namespace vetra::desktop::batch

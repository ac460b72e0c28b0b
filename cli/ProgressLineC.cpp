#include "cli/ProgressLineC.h"

#include "cli/TextsC.h"

#include <algorithm>
#include <ostream>

namespace {

// Back to the start of the line and erase it.
constexpr const char* kEraseLine = "\r\033[K";

// Port texts come from a list file; they are shown, never used, here.
std::vector<std::string> ShownOnTerminal(std::vector<std::string> texts) {
    std::transform(texts.begin(), texts.end(), texts.begin(), TextsC::ForTerminal);
    return texts;
}

} // namespace

ProgressLineC::ProgressLineC(std::ostream& err, std::vector<std::string> ports, int liveColumns)
    : err_(err), ports_(ShownOnTerminal(std::move(ports))), states_(ports_.size(), StateT::Waiting),
      liveColumns_(liveColumns) {}

void ProgressLineC::Started(std::size_t port) {
    std::lock_guard guard(lock_);
    states_[port] = StateT::Running;
    ++running_;
    DrawLive();
}

void ProgressLineC::Line(std::size_t port, const std::string& text) {
    std::lock_guard guard(lock_);
    ClearLive();
    err_ << ports_[port] << ": " << text << '\n';
    DrawLive();
}

void ProgressLineC::Finished(std::size_t port, const std::string& status, bool failed) {
    std::lock_guard guard(lock_);
    running_ -= states_[port] == StateT::Running ? 1 : 0;
    states_[port] = StateT::Done;
    ++finished_;
    failed_ += failed ? 1 : 0;
    ClearLive();
    err_ << ports_[port] << ": " << status << '\n';
    DrawLive();
}

void ProgressLineC::Tick() {
    std::lock_guard guard(lock_);
    DrawLive();
}

void ProgressLineC::End() {
    std::lock_guard guard(lock_);
    ClearLive();
    liveColumns_ = 0;
}

std::string ProgressLineC::LiveText() const {
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start_)
            .count();
    const std::size_t waiting = ports_.size() - finished_ - running_;
    std::string text = std::to_string(finished_) + "/" + std::to_string(ports_.size()) + " done, " +
                       std::to_string(failed_) + " failed, " + std::to_string(running_) +
                       " running, " + std::to_string(waiting) + " waiting, " +
                       std::to_string(seconds) + " s";
    // A line longer than the terminal would wrap, and erasing it would leave a line behind.
    const auto most = static_cast<std::size_t>(liveColumns_ - 1);
    if (running_ > 0) {
        text += "; running:";
        for (std::size_t i = 0; i < ports_.size() && text.size() <= most; ++i) {
            if (states_[i] == StateT::Running) {
                text += " " + ports_[i];
            }
        }
    }
    if (text.size() > most) {
        text = text.substr(0, most - 3) + "...";
    }
    return text;
}

void ProgressLineC::ClearLive() {
    if (liveShown_) {
        err_ << kEraseLine;
        liveShown_ = false;
    }
}

void ProgressLineC::DrawLive() {
    if (liveColumns_ < 20) {
        err_.flush();
        return;
    }
    err_ << kEraseLine << LiveText() << std::flush;
    liveShown_ = true;
}

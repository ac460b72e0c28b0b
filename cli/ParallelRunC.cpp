#include "cli/ParallelRunC.h"

#include "cli/LineBufC.h"
#include "cli/ModemReportC.h"
#include "cli/ProgressLineC.h"
#include "cli/ResultTableC.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A module run gives itself 1.5 s after Ctrl-C to leave the module cleanly; this is a little
// more, so that it is only needed for a port that is truly stuck.
constexpr auto kStopGrace = 2s;
constexpr auto kPoll = 50ms;
constexpr auto kLiveEvery = 1s;

bool Succeeded(const nlohmann::ordered_json& result) {
    const auto status = result.find("exitStatus");
    return status != result.end() && *status == static_cast<int>(ExitStatusT::Success);
}

std::string StatusLine(const nlohmann::ordered_json& result) {
    const auto status = result.find("status");
    std::string line =
        status != result.end() && status->is_string() ? status->get<std::string>() : "failed";
    const auto error = result.find("error");
    if (error != result.end() && error->is_string()) {
        line += ": " + error->get<std::string>();
    }
    return line;
}

} // namespace

ParallelRunC::ParallelRunC(std::string command, std::vector<std::string> ports, bool json,
                           std::function<bool()> cancelRequested, StreamsS streams,
                           std::size_t jobs)
    : command_(std::move(command)), ports_(std::move(ports)), json_(json),
      cancelRequested_(std::move(cancelRequested)), streams_(streams),
      jobs_(std::max<std::size_t>(jobs, 1)) {}

ExitStatusT ParallelRunC::Run(const PortRunT& run) {
    ProgressLineC progress(streams_.err, ports_, streams_.errColumns);
    results_.assign(ports_.size(), std::nullopt);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < std::min(jobs_, ports_.size()); ++i) {
        threads.emplace_back([this, &run, &progress] { RunPorts(run, progress); });
    }
    const bool allEnded = WaitForPorts(progress);
    std::vector<nlohmann::ordered_json> shown;
    {
        std::lock_guard guard(lock_);
        for (std::size_t i = 0; i < ports_.size(); ++i) {
            shown.push_back(results_[i] ? *results_[i] : Cancelled(i));
        }
    }
    progress.End();
    const ExitStatusT status = Print(shown, cancelRequested_());
    if (!allEnded) {
        // The ports still running hold on to this run's state, so it cannot end normally.
        std::fflush(nullptr);
        std::_Exit(static_cast<int>(status));
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return status;
}

void ParallelRunC::RunPorts(const PortRunT& run, ProgressLineC& progress) {
    while (const std::optional<std::size_t> index = TakePort()) {
        progress.Started(*index);
        RunPort(run, progress, *index);
    }
}

// The next port to start; none when all have started or Ctrl-C came.
std::optional<std::size_t> ParallelRunC::TakePort() {
    std::lock_guard guard(lock_);
    if (next_ >= ports_.size() || cancelRequested_()) {
        return std::nullopt;
    }
    return next_++;
}

void ParallelRunC::RunPort(const PortRunT& run, ProgressLineC& progress, std::size_t index) {
    nlohmann::ordered_json result;
    {
        LineBufC lines([&progress, index](const std::string& line) { progress.Line(index, line); });
        std::ostream err(&lines);
        result = RunOne(run, index, err);
    }
    progress.Finished(index, StatusLine(result), !Succeeded(result));
    std::lock_guard guard(lock_);
    results_[index] = std::move(result);
    ++done_;
    ended_.notify_all();
}

// Every port has ended or, after Ctrl-C, every port that started; lock_ is held. Once Ctrl-C
// came no port starts, so next_ stays where it is.
bool ParallelRunC::AllEnded() const {
    return done_ == (cancelRequested_() ? next_ : ports_.size());
}

// True when every port that started ended; false when some had not, a while after Ctrl-C.
bool ParallelRunC::WaitForPorts(ProgressLineC& progress) {
    std::unique_lock guard(lock_);
    std::optional<std::chrono::steady_clock::time_point> giveUpAt;
    auto nextTick = std::chrono::steady_clock::now() + kLiveEvery;
    while (!AllEnded()) {
        ended_.wait_for(guard, kPoll);
        const auto now = std::chrono::steady_clock::now();
        if (!giveUpAt && cancelRequested_()) {
            giveUpAt = now + kStopGrace;
        }
        if (!AllEnded() && giveUpAt && now >= *giveUpAt) {
            return false;
        }
        if (now >= nextTick) {
            guard.unlock();
            progress.Tick();
            guard.lock();
            nextTick = now + kLiveEvery;
        }
    }
    return true;
}

// A port whose run fails in a way it does not report itself still gets a result.
nlohmann::ordered_json ParallelRunC::RunOne(const PortRunT& run, std::size_t index,
                                            std::ostream& err) const {
    try {
        return run(index, err);
    } catch (const std::exception& e) {
        ModemReportC report(command_, ports_[index]);
        report.Fail(ExitStatusT::RadioFailed, std::string("Internal error: ") + e.what());
        return report.Json({});
    }
}

nlohmann::ordered_json ParallelRunC::Cancelled(std::size_t index) const {
    ModemReportC report(command_, ports_[index]);
    report.Fail(ExitStatusT::Cancelled, "Cancelled.");
    return report.Json({});
}

ExitStatusT ParallelRunC::Print(const std::vector<nlohmann::ordered_json>& results,
                                bool cancelled) const {
    if (json_) {
        const nlohmann::ordered_json array(results);
        streams_.out << array.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                     << std::endl;
    } else {
        ResultTableC::Print(streams_.out, results);
    }
    std::size_t failed = 0;
    for (const nlohmann::ordered_json& result : results) {
        failed += Succeeded(result) ? 0 : 1;
    }
    if (failed > 0) {
        streams_.err << "oryx-cli: " << failed << " of " << results.size()
                     << " ports did not succeed" << std::endl;
    }
    if (cancelled) {
        return ExitStatusT::Cancelled;
    }
    return failed == 0 ? ExitStatusT::Success : ExitStatusT::RadioFailed;
}

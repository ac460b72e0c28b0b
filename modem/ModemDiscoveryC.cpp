#include "modem/ModemDiscoveryC.h"

#include "common/EventLogFileC.h"
#include "modem/DetectWaitC.h"
#include "modem/ModemDetectionC.h"
#include "modem/ModemLinkC.h"
#include "modem/ModemModelsC.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>

namespace {

using ClockT = std::chrono::steady_clock;

// One port opened for listening. The link logs nowhere: a discovery's failures are its
// results.
struct ListenerS {
    explicit ListenerS(std::size_t index) : index(index), link(log), wait(link) {}

    std::size_t index;
    EventLogFileC log{"", 0};
    ModemLinkC link;
    DetectWaitC wait;
};

// The caller's hooks, with the wait's limit added to its cancel.
class LimitedWaitC {
public:
    explicit LimitedWaitC(const ModemDiscoveryC::OptionsS& options)
        : options_(options),
          deadline_(
              options.waitLimitMs > 0
                  ? std::optional(ClockT::now() + std::chrono::milliseconds(options.waitLimitMs))
                  : std::nullopt) {}

    bool Cancelled() const { return options_.wait.cancelled && options_.wait.cancelled(); }
    bool Ended() const { return Cancelled() || (deadline_ && ClockT::now() >= *deadline_); }
    void Pump() const {
        if (options_.wait.pumpFor) {
            options_.wait.pumpFor(DetectWaitC::kPollMs);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(DetectWaitC::kPollMs));
        }
    }
    DetectWaitHooksS Hooks() const {
        return {[this](int) { Pump(); }, [this] { return Ended(); }};
    }
    // Why nothing was heard.
    const char* Reason() const {
        return Cancelled() ? DiscoveredPortS::kStopped : DiscoveredPortS::kNoAnswer;
    }

private:
    const ModemDiscoveryC::OptionsS& options_;
    std::optional<ClockT::time_point> deadline_;
};

void Ask(const ModemDiscoveryC::OptionsS& options, const std::string& baud) {
    if (options.askReconnect) {
        options.askReconnect(DetectWaitHooksS::kReconnectText, baud);
    }
}

std::string OpenReason(const ModemLinkC& link) {
    return DiscoveredPortS::ReasonFor({link.openError(), link.openErrorText()});
}

// Opening waits a moment on each port, so the ports are opened side by side.
std::vector<std::unique_ptr<ListenerS>> OpenAll(const std::vector<std::string>& ports,
                                                const std::string& baud,
                                                std::vector<DiscoveredPortS>& results) {
    std::vector<std::unique_ptr<ListenerS>> listeners;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        listeners.push_back(std::make_unique<ListenerS>(i));
    }
    std::vector<std::thread> openers;
    for (auto& listener : listeners) {
        openers.emplace_back([&ports, &baud, &results, l = listener.get()] {
            if (l->link.OpenModemPort(ports[l->index], baud) != RC_OK) {
                l->link.CloseModemPort();
                results[l->index].reason = OpenReason(l->link);
            }
        });
    }
    for (std::thread& opener : openers) {
        opener.join();
    }
    std::erase_if(listeners, [](const auto& l) { return !l->link.modemPortOpen(); });
    return listeners;
}

// The listener that heard something first; none when the wait ended without.
ListenerS* Listen(std::vector<std::unique_ptr<ListenerS>>& listeners, const LimitedWaitC& wait) {
    for (auto& listener : listeners) {
        listener->link.ClearCommError();
    }
    while (!wait.Ended()) {
        wait.Pump();
        for (auto& listener : listeners) {
            if (listener->wait.Look() != DetectWaitC::HeardT::Nothing) {
                return listener.get();
            }
        }
    }
    return nullptr;
}

// The banner at the rate the port is open at; failing that, the other rates in the rate
// box's order, the user reconnecting the radio at each as detection asks.
void FindRate(ListenerS& radio, const std::string& port, const ModemDiscoveryC::OptionsS& options,
              DiscoveredPortS& result) {
    const std::vector<std::string>& rates = ModemModelsC::BaudRates();
    std::string baud = options.firstBaud;
    int index = ModemModelsC::BaudIndex(baud);
    for (std::size_t step = 0; step <= rates.size(); ++step) {
        if (step > 0) {
            index = (index + 1) % static_cast<int>(rates.size());
            if (rates[static_cast<std::size_t>(index)] == options.firstBaud) {
                break;
            }
            baud = rates[static_cast<std::size_t>(index)];
            if (radio.link.OpenModemPort(port, baud) != RC_OK) {
                result.reason = OpenReason(radio.link);
                return;
            }
            Ask(options, baud);
            const LimitedWaitC wait(options);
            if (!radio.wait.Run(wait.Hooks())) {
                result.reason = wait.Reason();
                return;
            }
        }
        std::string banner;
        int modelNumber = 0;
        if (ModemDetectionC::ReadBannerFrom(radio.link, banner, modelNumber)) {
            result.found = true;
            result.model = ModemDiscoveryC::FamilyOf(modelNumber);
            result.baud = baud;
            result.reason.clear();
            return;
        }
    }
    result.reason = DiscoveredPortS::kNoAnswer;
}

} // namespace

std::vector<DiscoveredPortS> ModemDiscoveryC::Run(const std::vector<std::string>& ports,
                                                  const OptionsS& options) {
    std::vector<DiscoveredPortS> results;
    for (const std::string& port : ports) {
        results.push_back({port, DiscoveredPortS::kModem, false, {}, {}, {}, {}});
    }
    auto listeners = OpenAll(ports, options.firstBaud, results);
    if (listeners.empty()) {
        return results;
    }
    Ask(options, options.firstBaud);
    const LimitedWaitC wait(options);
    ListenerS* radio = Listen(listeners, wait);
    for (const auto& listener : listeners) {
        results[listener->index].reason = wait.Reason();
    }
    // The radio's port alone stays open from here on.
    for (auto& listener : listeners) {
        if (listener.get() != radio) {
            listener->link.CloseModemPort();
        }
    }
    if (radio != nullptr) {
        FindRate(*radio, ports[radio->index], options, results[radio->index]);
        radio->link.CloseModemPort();
    }
    return results;
}

std::string ModemDiscoveryC::FamilyOf(int modelNumber) {
    const std::vector<int> known = ModemModelsC::Numbers();
    if (std::find(known.begin(), known.end(), modelNumber) == known.end()) {
        return "model " + std::to_string(modelNumber);
    }
    // The devices are the family's name with R (remote) or B (base) after it.
    std::string family = ModemModelsC::Model(modelNumber).devices.front();
    family.pop_back();
    return family;
}

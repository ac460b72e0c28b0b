#pragma once

#include "common/DetectWaitHooksS.h"
#include "common/DiscoveredPortS.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class EventLogFileC;
class QWidget;

// "Find..." in a configuration dialog: runs its family's discovery over the ports of the port
// box behind a small progress dialog with Cancel, then tells the user what came of it and
// returns the radio to select. The dialog keeps repainting and Cancel works throughout; what
// is found is only selected, never connected to, so the user sees it before anything is sent.
class FindRadioC {
public:
    using ResultsT = std::vector<DiscoveredPortS>;
    using PortsT = std::vector<std::string>;
    // A discovery that blocks until it is done (the module family's): it runs on a worker
    // thread, polls cancelled and calls portDone as each port finishes, from any thread.
    using BlockingT =
        std::function<ResultsT(const PortsT& ports, const std::function<bool()>& cancelled,
                               const std::function<void()>& portDone)>;
    // What the user is to do now (reconnect the cable), and the rate the ports listen at.
    using PromptT = std::function<void(const std::string& text, const std::string& baud)>;
    // A discovery that waits through the hooks on the dialog's thread (the modem family's,
    // which listens while the user reconnects the cable).
    using WaitingT = std::function<ResultsT(const PortsT& ports, const DetectWaitHooksS& wait,
                                            const PromptT& askReconnect)>;

    // radio: what the texts call the thing looked for ("module", "radio").
    FindRadioC(QWidget& owner, EventLogFileC& log, std::string radio);

    // Each returns the radio the user is to connect to: the one found, or the one the user
    // picked of several. Nothing when the user cancelled, when none was found (the user has
    // been told, with each port's reason) or when the user picked none.
    // ports are taken as they are now: the port box may change while the search runs.
    std::optional<DiscoveredPortS> OnWorker(PortsT ports, const BlockingT& discovery);
    std::optional<DiscoveredPortS> Waiting(PortsT ports, const WaitingT& discovery);

    // One radio as a line of the pick list and of the event log.
    static std::string Describe(const DiscoveredPortS& port);

    static constexpr int kPollMs = 50;

private:
    std::optional<DiscoveredPortS> Conclude(const ResultsT& results, bool cancelled,
                                            const std::string& failure);
    void TellNoneFound(const ResultsT& results, const std::string& failure);

    QWidget& owner_;
    EventLogFileC& log_;
    std::string radio_;
};

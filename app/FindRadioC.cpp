#include "app/FindRadioC.h"

#include "app/BusyDialogC.h"
#include "app/ORYX_DetectDlgC.h"
#include "app/PickRadioDlgC.h"
#include "common/EventLogFileC.h"

#include <QMessageBox>
#include <QStringList>
#include <atomic>
#include <exception>
#include <map>
#include <thread>

namespace {

constexpr const char* kCaption = "ORYX Config";

// The ports with the same reason on one line: a machine lists dozens of ports that never
// answer, and one line per port would not fit on the screen.
QStringList ReasonsByPort(const FindRadioC::ResultsT& results) {
    std::map<std::string, QStringList> ports;
    std::vector<std::string> order;
    for (const DiscoveredPortS& result : results) {
        const std::string reason = result.reason.empty() ? "no answer" : result.reason;
        if (ports.find(reason) == ports.end()) {
            order.push_back(reason);
        }
        ports[reason].append(QString::fromStdString(result.port));
    }
    QStringList lines;
    for (const std::string& reason : order) {
        lines.append(QString::fromStdString(reason) + ": " + ports[reason].join(", "));
    }
    return lines;
}

} // namespace

FindRadioC::FindRadioC(QWidget& owner, EventLogFileC& log, std::string radio)
    : owner_(owner), log_(log), radio_(std::move(radio)) {}

std::string FindRadioC::Describe(const DiscoveredPortS& port) {
    std::string text = port.port + ": " + port.model;
    if (!port.address.empty()) {
        text += " (" + port.address + ")";
    }
    return text + " at " + port.baud + " baud";
}

// The worker is polled from the progress dialog's own event loop, every kPollMs: the dialog
// repaints and takes Cancel in between, and it cannot end before the worker has, so no port
// is left open behind a closed dialog.
std::optional<DiscoveredPortS> FindRadioC::OnWorker(PortsT ports, const BlockingT& discovery) {
    ORYX_DetectDlgC progress(&owner_);
    progress.title = "Finding the " + radio_ + "...";
    progress.forgetEarlyCancel = false;
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    std::atomic<std::size_t> done{0};
    const auto searching = [&] {
        return QString("Looking on every port of the list:\n%1 of %2 done.")
            .arg(done.load())
            .arg(ports.size());
    };
    progress.SetText(searching());
    ResultsT results;
    std::string failure;
    BusyDialogC::WithArrowCursor([&] {
        progress.RunWait([&](const DetectWaitHooksS& hooks) {
            std::thread worker([&] {
                try {
                    results = discovery(
                        ports, [&] { return stop.load(); }, [&] { ++done; });
                } catch (const std::exception& error) {
                    failure = error.what();
                }
                finished = true;
            });
            while (!finished) {
                hooks.pumpFor(kPollMs);
                if (hooks.cancelled() && !stop) {
                    stop = true;
                    progress.SetText("Stopping...");
                } else if (!stop) {
                    progress.SetText(searching());
                }
            }
            worker.join();
            return !stop;
        });
    });
    return Conclude(results, stop, failure);
}

std::optional<DiscoveredPortS> FindRadioC::Waiting(PortsT ports, const WaitingT& discovery) {
    ORYX_DetectDlgC progress(&owner_);
    progress.title = "Finding the " + radio_ + "...";
    progress.forgetEarlyCancel = false;
    ResultsT results;
    std::string failure;
    int ended = QDialog::Rejected;
    BusyDialogC::WithArrowCursor([&] {
        ended = progress.RunWait([&](const DetectWaitHooksS& hooks) {
            try {
                results =
                    discovery(ports, hooks, [&](const std::string& text, const std::string& baud) {
                        progress.setWindowTitle(QString("Waiting for radio at %1 bps...")
                                                    .arg(QString::fromStdString(baud)));
                        progress.SetText(QString::fromStdString(text));
                    });
            } catch (const std::exception& error) {
                failure = error.what();
            }
            return true;
        });
    });
    return Conclude(results, ended != QDialog::Accepted, failure);
}

std::optional<DiscoveredPortS> FindRadioC::Conclude(const ResultsT& results, bool cancelled,
                                                    const std::string& failure) {
    if (cancelled) {
        log_.Log("Find cancelled.");
        return std::nullopt;
    }
    std::vector<DiscoveredPortS> found;
    QStringList rows;
    for (const DiscoveredPortS& result : results) {
        if (result.found) {
            log_.Log("Found " + Describe(result));
            found.push_back(result);
            rows.append(QString::fromStdString(Describe(result)));
        }
    }
    if (found.empty()) {
        TellNoneFound(results, failure);
        return std::nullopt;
    }
    if (found.size() == 1) {
        return found.front();
    }
    PickRadioDlgC pick(rows, QString::fromStdString(radio_), &owner_);
    if (pick.exec() != QDialog::Accepted || pick.Chosen() < 0) {
        log_.Log("Find: none chosen.");
        return std::nullopt;
    }
    return found[static_cast<std::size_t>(pick.Chosen())];
}

void FindRadioC::TellNoneFound(const ResultsT& results, const std::string& failure) {
    QString text = QString("No %1 found.").arg(QString::fromStdString(radio_));
    QStringList details =
        results.empty() ? QStringList{"There are no ports to search."} : ReasonsByPort(results);
    if (!failure.empty()) {
        details = QStringList{QString("The search failed: ") + QString::fromStdString(failure)};
    }
    log_.Log("ERROR: " + text.toStdString() + " " + details.join("; ").toStdString());
    // Ports and reasons are shown as they are, never taken for markup.
    QMessageBox box(QMessageBox::Information, kCaption, text + "\n\n" + details.join('\n'),
                    QMessageBox::Ok, &owner_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

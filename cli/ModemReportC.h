#pragma once

#include "cli/ExitStatusT.h"
#include "cli/TerminalModemViewC.h"
#include "common/EventLogFileC.h"

#include <chrono>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>

// The outcome of one `oryx-cli modem` run: the values the command found or set, and how it
// ended. Printed as "name: value" lines, or as one JSON object that also carries the
// status, the error and every message shown on the way.
class ModemReportC {
public:
    ModemReportC(std::string command, std::string port);

    void Set(const std::string& name, const std::string& value);
    void Set(const std::string& name, int value);
    void SetJson(const std::string& name, nlohmann::ordered_json value);
    // "roundTripMs", the measured round trip of the link, for a network port only: a local
    // port has no link to measure.
    void SetRoundTrip(std::chrono::milliseconds roundTrip);
    void Fail(ExitStatusT status, const std::string& error);
    // The failure text followed by why the port does not open now (permission with the
    // 'dialout' fix, held by another program, not a serial port, gone), when it still does not.
    static std::string WithOpenProblem(const std::string& text, const std::string& portText);
    ExitStatusT status() const { return status_; }

    // Values on out; in text mode the error goes to err.
    void PrintText(std::ostream& out, std::ostream& err) const;
    // As text or as the JSON object on out; the error goes to err either way, so that a
    // script that keeps only standard output still leaves the user a reason.
    void Print(bool json, std::ostream& out, std::ostream& err,
               const std::vector<TerminalModemViewC::MessageS>& messages) const;
    // The failure message on its own line; nothing on success.
    void PrintError(std::ostream& err, const char* prefix = "oryx-cli: ") const;
    void PrintJson(std::ostream& out,
                   const std::vector<TerminalModemViewC::MessageS>& messages) const;
    nlohmann::ordered_json Json(const std::vector<TerminalModemViewC::MessageS>& messages) const;
    const std::string& error() const { return error_; }

    static const char* StatusName(ExitStatusT status);

    // The event log's warning handler for this run: the warning goes to err at once and into
    // the messages of the JSON object.
    EventLogFileC::WarnT EventLogWarner(std::ostream& err);

private:

    std::string command_;
    std::string port_;
    nlohmann::ordered_json values_ = nlohmann::ordered_json::object();
    ExitStatusT status_ = ExitStatusT::Success;
    std::string error_;
    std::vector<TerminalModemViewC::MessageS> warnings_;
};

#include "cli/ModemReportC.h"

#include "cli/TextsC.h"

#include "platform/PortEnumerator.h"
#include "platform/PortNames.h"

#include <ostream>

ModemReportC::ModemReportC(std::string command, std::string port)
    : command_(std::move(command)), port_(std::move(port)) {}

void ModemReportC::Set(const std::string& name, const std::string& value) {
    values_[name] = value;
}

void ModemReportC::Set(const std::string& name, int value) {
    values_[name] = value;
}

void ModemReportC::SetJson(const std::string& name, nlohmann::ordered_json value) {
    values_[name] = std::move(value);
}

void ModemReportC::SetRoundTrip(std::chrono::milliseconds roundTrip) {
    if (oryx::platform::PortNames::isNetworkPort(port_)) {
        values_["roundTripMs"] = roundTrip.count();
    }
}

namespace {

std::string TextOf(const nlohmann::ordered_json& value) {
    return TextsC::ForTerminal(value.is_string() ? value.get<std::string>() : value.dump());
}

// A list prints one line per entry; an entry with fields shows them tab-separated, so a
// script can cut them apart although names may hold blanks.
void PrintTextLines(std::ostream& out, const std::string& name,
                    const nlohmann::ordered_json& value) {
    if (!value.is_array()) {
        out << name << ": " << TextOf(value) << '\n';
        return;
    }
    for (const auto& entry : value) {
        std::string line;
        if (entry.is_object()) {
            for (const auto& [field, fieldValue] : entry.items()) {
                line += (line.empty() ? "" : "\t") + TextOf(fieldValue);
            }
        } else {
            line = TextOf(entry);
        }
        out << name << ": " << line << '\n';
    }
}

} // namespace

void ModemReportC::Fail(ExitStatusT status, const std::string& error) {
    status_ = status;
    error_ = error;
}

const char* ModemReportC::StatusName(ExitStatusT status) {
    switch (status) {
    case ExitStatusT::Success:
        return "ok";
    case ExitStatusT::RadioFailed:
        return "failed";
    case ExitStatusT::Usage:
        return "usage";
    case ExitStatusT::PortUnavailable:
        return "port-unavailable";
    case ExitStatusT::Cancelled:
        return "cancelled";
    case ExitStatusT::ConnectFailed:
        return "connect-failed";
    }
    return "failed";
}

void ModemReportC::PrintText(std::ostream& out, std::ostream& err) const {
    for (const auto& [name, value] : values_.items()) {
        PrintTextLines(out, name, value);
    }
    out.flush();
    PrintError(err);
}

void ModemReportC::Print(bool json, std::ostream& out, std::ostream& err,
                         const std::vector<TerminalModemViewC::MessageS>& messages) const {
    if (!json) {
        PrintText(out, err);
        return;
    }
    PrintJson(out, messages);
    PrintError(err);
}

void ModemReportC::PrintError(std::ostream& err, const char* prefix) const {
    if (status_ != ExitStatusT::Success) {
        err << prefix << TextsC::ForTerminal(error_) << std::endl;
    }
}

void ModemReportC::PrintJson(std::ostream& out,
                             const std::vector<TerminalModemViewC::MessageS>& messages) const {
    // Texts from the line may hold bytes that are not UTF-8; they must not break the output.
    out << Json(messages).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
        << std::endl;
}

nlohmann::ordered_json
ModemReportC::Json(const std::vector<TerminalModemViewC::MessageS>& messages) const {
    nlohmann::ordered_json report;
    report["command"] = command_;
    report["port"] = port_;
    report["status"] = StatusName(status_);
    report["exitStatus"] = static_cast<int>(status_);
    if (status_ != ExitStatusT::Success) {
        report["error"] = error_;
    }
    for (const auto& [name, value] : values_.items()) {
        report[name] = value;
    }
    nlohmann::ordered_json shown = nlohmann::ordered_json::array();
    for (const auto* list : {&messages, &warnings_}) {
        for (const TerminalModemViewC::MessageS& message : *list) {
            shown.push_back({{"caption", message.caption}, {"text", message.text}});
        }
    }
    report["messages"] = std::move(shown);
    return report;
}

EventLogFileC::WarnT ModemReportC::EventLogWarner(std::ostream& err) {
    return [this, &err](const std::string& warning) {
        err << "oryx-cli: " << TextsC::ForTerminal(warning) << std::endl;
        warnings_.push_back({"Warning", warning});
    };
}

std::string ModemReportC::WithOpenProblem(const std::string& text, const std::string& portText) {
    const oryx::platform::SerialError problem =
        oryx::platform::PortEnumerator::openProblem(portText);
    return problem.ok() ? text : text + " " + problem.message;
}

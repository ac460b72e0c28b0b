#include "cli/ModemReportC.h"

#include <ostream>

ModemReportC::ModemReportC(std::string command, std::string port)
    : command_(std::move(command)), port_(std::move(port)) {}

void ModemReportC::Set(const std::string& name, const std::string& value) {
    values_[name] = value;
}

void ModemReportC::Set(const std::string& name, int value) {
    values_[name] = value;
}

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
    }
    return "failed";
}

void ModemReportC::PrintText(std::ostream& out, std::ostream& err) const {
    for (const auto& [name, value] : values_.items()) {
        out << name << ": " << (value.is_string() ? value.get<std::string>() : value.dump())
            << '\n';
    }
    out.flush();
    if (status_ != ExitStatusT::Success) {
        err << "oryx-cli: " << error_ << std::endl;
    }
}

void ModemReportC::PrintJson(std::ostream& out,
                             const std::vector<TerminalModemViewC::MessageS>& messages) const {
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
    for (const TerminalModemViewC::MessageS& message : messages) {
        shown.push_back({{"caption", message.caption}, {"text", message.text}});
    }
    report["messages"] = std::move(shown);
    // Texts from the line may hold bytes that are not UTF-8; they must not break the output.
    out << report.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
        << std::endl;
}

#include "sim/ModuleCommand.h"

namespace oryx::sim {
namespace {

bool isWordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

ModuleCommand ModuleCommand::parse(std::string_view line) {
    ModuleCommand command;
    if (line.empty()) {
        command.m_form = Form::Empty;
        return command;
    }
    if (!line.starts_with("AT")) {
        return command;
    }
    if (!line.starts_with("AT*")) {
        command.m_form = Form::Plain;
        command.m_word = std::string(line);
        return command;
    }
    std::size_t end = 3;
    while (end < line.size() && isWordCharacter(line[end])) {
        ++end;
    }
    if (end == 3) {
        return command;
    }
    const std::string_view rest = line.substr(end);
    if (rest.empty()) {
        command.m_form = Form::Action;
    } else if (rest == "?") {
        command.m_form = Form::Query;
    } else if (rest.size() > 1 && rest[0] == '=' && parseParams(rest.substr(1), command.m_params)) {
        command.m_form = Form::Set;
    } else {
        return command;
    }
    command.m_word = std::string(line.substr(3, end - 3));
    return command;
}

bool ModuleCommand::parseParams(std::string_view text, std::vector<ModuleParam>& params) {
    std::size_t at = 0;
    while (true) {
        ModuleParam param;
        std::size_t end = 0;
        if (at < text.size() && text[at] == '"') {
            const std::size_t close = text.find('"', at + 1);
            if (close == std::string_view::npos) {
                return false;
            }
            param = {std::string(text.substr(at + 1, close - at - 1)), true};
            end = close + 1;
            if (end < text.size() && text[end] != ',') {
                return false;
            }
        } else {
            end = std::min(text.find(',', at), text.size());
            param.text = std::string(text.substr(at, end - at));
            if (param.text.find('"') != std::string::npos) {
                return false;
            }
        }
        params.push_back(std::move(param));
        if (end >= text.size()) {
            return true;
        }
        at = end + 1;
    }
}

} // namespace oryx::sim

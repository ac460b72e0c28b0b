#include "cli/ResultTableC.h"

#include "cli/TextsC.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <set>
#include <string>

namespace {

// Said by the columns before the details, or not worth a place in a row.
const std::set<std::string> kNotDetails = {"command",    "port",  "status",
                                           "exitStatus", "error", "messages"};

std::string ValueText(const nlohmann::ordered_json& value) {
    if (value.is_string()) {
        const std::string& text = value.get_ref<const std::string&>();
        if (!text.empty() && text.find_first_of(" \t\"") == std::string::npos) {
            return text;
        }
    }
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string Field(const nlohmann::ordered_json& result, const char* name) {
    const auto found = result.find(name);
    return found != result.end() && found->is_string() ? found->get<std::string>() : "";
}

} // namespace

std::string ResultTableC::Details(const nlohmann::ordered_json& result) {
    std::string details = Field(result, "error");
    for (const auto& [name, value] : result.items()) {
        if (kNotDetails.count(name) == 0) {
            details += (details.empty() ? "" : " ") + name + "=" + ValueText(value);
        }
    }
    return details;
}

void ResultTableC::Print(std::ostream& out, const std::vector<nlohmann::ordered_json>& results) {
    using RowT = std::array<std::string, 3>;
    std::vector<RowT> rows = {{"PORT", "STATUS", "DETAILS"}};
    for (const nlohmann::ordered_json& result : results) {
        rows.push_back({TextsC::ForTerminal(Field(result, "port")),
                        TextsC::ForTerminal(Field(result, "status")),
                        TextsC::ForTerminal(Details(result))});
    }
    std::array<std::size_t, 2> widths{};
    for (const RowT& row : rows) {
        widths[0] = std::max(widths[0], row[0].size());
        widths[1] = std::max(widths[1], row[1].size());
    }
    for (const RowT& row : rows) {
        std::string line = row[0] + std::string(widths[0] - row[0].size() + 2, ' ') + row[1] +
                           std::string(widths[1] - row[1].size() + 2, ' ') + row[2];
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
    out.flush();
}

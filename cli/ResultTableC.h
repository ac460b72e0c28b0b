#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <vector>

// The results of a run over several ports as a table for people: one row per port with its
// status and, after the error of a port that failed, the values it found or set.
class ResultTableC {
public:
    // Each result is the object a run on one port prints with --json.
    static void Print(std::ostream& out, const std::vector<nlohmann::ordered_json>& results);

    // The values of one result as "name=value" words; texts with blanks are quoted and
    // lists are shown as JSON.
    static std::string Details(const nlohmann::ordered_json& result);
};

#pragma once

#include "CliProcessC.h"

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

// One oryx-cli run as a test sees it: the exit status (-1 when it did not end within a
// minute), standard output parsed as JSON, and both streams as text.
struct CliRunS {
    int status = -1;
    nlohmann::json json;
    std::string out;
    std::string err;

    static CliRunS Finish(CliProcessC& cli);
    static CliRunS Of(const std::vector<std::string>& args, const std::string& input = "");
};

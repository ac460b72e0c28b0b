#pragma once

#include "cli/ModemOptionsS.h"

#include <CLI/CLI.hpp>

// The `modem` command of oryx-cli and its subcommands, filling one ModemOptionsS.
class ModemCommandLineC {
public:
    ModemCommandLineC(CLI::App& parent, ModemOptionsS& options);

    // True when the parsed command line chose `modem`.
    bool Chosen() const { return modem_->parsed(); }
    CLI::App* app() const { return modem_; }

private:
    void AddCommonOptions(CLI::App& command);
    void AddReadCommand();
    void AddWriteCommand();
    void AddDefaultsCommand();
    void AddApplyCommand();

    ModemOptionsS& options_;
    CLI::App* modem_;
};

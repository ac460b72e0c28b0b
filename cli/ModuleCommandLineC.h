#pragma once

#include "cli/ModuleOptionsS.h"

#include <CLI/CLI.hpp>

// The `module` command of oryx-cli and its subcommands, filling one ModuleOptionsS.
class ModuleCommandLineC {
public:
    ModuleCommandLineC(CLI::App& parent, ModuleOptionsS& options);

    // True when the parsed command line chose `module`.
    bool Chosen() const { return module_->parsed(); }

private:
    CLI::App* AddCommand(const char* name, const char* description,
                         ModuleOptionsS::OperationT operation);
    void AddCommonOptions(CLI::App& command);

    ModuleOptionsS& options_;
    CLI::App* module_;
};

#pragma once

#include "ORC_CFG_Types.h"
#include "module/ModuleResultS.h"

#include <optional>
#include <string>
#include <vector>

// The values the module family's operations take and give.

enum class ModuleRoleT { None, Client, Server };

// What a Read found. A failed read keeps what was read before the failing call.
struct ModuleReadS {
    ModuleResultS result;
    // A name without an address is not taken: both stay empty then.
    bool named = false;
    std::string name;
    std::string address;
    // The module's own rate; 0 when its code names no rate. Unset when not read.
    std::optional<unsigned long> moduleBaud;
    // Unset when not read, or when the profiles fit none of the roles.
    std::optional<ModuleRoleT> role;
};

// What a Write is asked to store.
struct ModuleWriteS {
    std::string name;
    ModuleRoleT role = ModuleRoleT::None;
    // Unset: the module keeps its rate.
    std::optional<unsigned long> moduleBaud;
};

struct ModuleWrittenS {
    ModuleResultS result;
    // Role and name went out whole; the module must restart to take them.
    bool roleAndName = false;
    // The module and the port now talk at the new rate.
    bool moduleBaud = false;
};

struct ModuleSearchS {
    ModuleResultS result;
    std::vector<ORC::CFG::DevNameAddressPairT> devices;
};

struct ModulePairedS {
    ModuleResultS result;
    ORC::CFG::DevNameAddressPairT device;
};

struct ModuleVersionS {
    ModuleResultS result;
    std::vector<std::string> texts;
};

struct ModuleConnectedS {
    ModuleResultS result;
    // The rate the module answered at.
    std::string baud;
};

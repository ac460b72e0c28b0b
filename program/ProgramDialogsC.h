#pragma once

#include "app/ConfigDialogFactoryC.h"

// Plugs the configuration dialogs that this build of the program contains into a factory.
class ProgramDialogsC {
public:
    static void RegisterAll(ConfigDialogFactoryC& factory);
};

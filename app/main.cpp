#include "ORYX_CfgAppC.h"
#include "ProgramDialogsC.h"

int main(int argc, char** argv) {
    ConfigDialogFactoryC factory;
    ProgramDialogsC::RegisterAll(factory);
    return ORYX_CfgAppC::RunProgram(argc, argv, factory);
}

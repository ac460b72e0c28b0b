#include "app/ORYX_CfgAppC.h"
#include "program/ProgramDialogsC.h"

int main(int argc, char** argv) {
    ConfigDialogFactoryC factory;
    ProgramDialogsC::RegisterAll(factory);
    return ORYX_CfgAppC::RunProgram(argc, argv, factory);
}

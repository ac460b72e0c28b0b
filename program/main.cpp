#include "app/ORYX_CfgAppC.h"
#include "program/ProgramDialogsC.h"
#include "program/ProgramTraceC.h"

int main(int argc, char** argv) {
    const ProgramTraceC trace;
    ConfigDialogFactoryC factory;
    ProgramDialogsC::RegisterAll(factory);
    return ORYX_CfgAppC::RunProgram(argc, argv, factory);
}

#include "app/ORYX_CfgAppC.h"
#include "program/ProgramDialogsC.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ConfigDialogFactoryC factory;
    ProgramDialogsC::RegisterAll(factory);
    ORYX_CfgAppC app(factory, ORYX_CfgAppC::CommandLineText(argc, argv));
    app.InitInstance();
    return 0;
}

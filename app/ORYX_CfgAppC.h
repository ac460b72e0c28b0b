#pragma once

#include "app/ConfigDialogFactoryC.h"

#include <QString>

// The program's start-up: ask for the radio family, show that family's configuration
// dialog, and end when it closes.
class ORYX_CfgAppC {
public:
    ORYX_CfgAppC(const ConfigDialogFactoryC& factory, QString commandLine);

    // Runs the whole sequence; false tells the caller that there is no message loop to run.
    bool InitInstance();

    // True only when the whole command line is the service switch, in any case.
    static bool IsServiceSwitch(const QString& commandLine);

    // The command-line text after the program name, as one line.
    static QString CommandLineText(int argc, char** argv);

    // The whole program: the platform's application object around the start-up sequence.
    static int RunProgram(int& argc, char** argv, const ConfigDialogFactoryC& factory);

private:
    void RunConfigDialog(int radioType);

    const ConfigDialogFactoryC& factory_;
    QString commandLine_;
};

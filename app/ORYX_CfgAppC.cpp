#include "app/ORYX_CfgAppC.h"

#include "app/RadioSelectionDlgC.h"

#include <QApplication>
#include <QStringList>
#include <memory>

ORYX_CfgAppC::ORYX_CfgAppC(const ConfigDialogFactoryC& factory, QString commandLine)
    : factory_(factory), commandLine_(std::move(commandLine)) {}

bool ORYX_CfgAppC::InitInstance() {
    auto selection = std::make_unique<RadioSelectionDlgC>();
    if (selection->exec() == QDialog::Accepted) {
        RunConfigDialog(selection->radioType());
    }
    return false;
}

void ORYX_CfgAppC::RunConfigDialog(int radioType) {
    const bool serviceMode =
        radioType == ConfigDialogFactoryC::MODEM_FAMILY && IsServiceSwitch(commandLine_);
    std::unique_ptr<QDialog> dialog = factory_.Create(radioType, serviceMode);
    if (dialog) {
        dialog->exec();
    }
}

bool ORYX_CfgAppC::IsServiceSwitch(const QString& commandLine) {
    return commandLine.compare(QStringLiteral("/Service"), Qt::CaseInsensitive) == 0;
}

QString ORYX_CfgAppC::CommandLineText(int argc, char** argv) {
    QStringList words;
    for (int i = 1; i < argc; ++i) {
        words << QString::fromLocal8Bit(argv[i]);
    }
    return words.join(QLatin1Char(' '));
}

int ORYX_CfgAppC::RunProgram(int& argc, char** argv, const ConfigDialogFactoryC& factory) {
    // Qt takes its own options ("-platform", "-style", ...) out of argv; the switch must be
    // judged on the line as the user typed it, or "/Service -platform x" would turn it on.
    const QString commandLine = CommandLineText(argc, argv);
    QApplication application(argc, argv);
    ORYX_CfgAppC(factory, commandLine).InitInstance();
    return 0;
}

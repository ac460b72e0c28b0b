#pragma once

#include "ORC_CFG_OpalDeviceControllerC.h"
#include "moduleui/ModuleTabCoreC.h"
#include "moduleui/ModuleViewI.h"

#include <QWidget>
#include <functional>

class ORYX_64_65_CfgDlgC;
class QPushButton;

// The common base of the module dialog's pages: a child widget of the tab control that shows
// its core's fields, forwards Read and Write, and reads the module when it receives the focus
// from outside.
class ORYX_64_65_ConfigTabC : public QWidget, public ModuleViewI {
    Q_OBJECT
public:
    enum ControlId { IDC_READ = 1066, IDC_WRITE = 1067 };
    using ControllerT = ORC::CFG::OpalDeviceControllerC;

    explicit ORYX_64_65_ConfigTabC(QWidget* parent = nullptr);

    virtual ModuleTabCoreC& core() = 0;
    // Gives the page the focus; when the window system does not deliver it (the window is
    // not active), the page reads as if it had.
    void TakeFocus();

    // The module dialog's message boxes and wait cursor are the pages' own.
    static void ShowOkBox(QWidget* parent, const std::string& text, const std::string& caption);
    static void ShowWaitCursor(bool on);

    // ModuleViewI
    void MessageBox(const std::string& text, const std::string& caption) override;
    void SetWaitCursor(bool on) override;
    void Await(const std::function<void()>& work) override;
    void OnViewThread(const std::function<void()>& call) override;

protected:
    // A user's operation: the dialog looks busy, and input made meanwhile is dropped.
    void RunOperation(const std::function<void()>& operation);
    void focusInEvent(QFocusEvent* event) override;
    // Enter in a page ends there (on a button it presses the button); the other keys go on
    // to the dialog, where Escape closes it.
    void keyPressEvent(QKeyEvent* event) override;
    // Buttons 1066 and 1067 call Read and Write.
    void BindReadWrite(QPushButton* read, QPushButton* write);
    void ShowReadWriteStates();

private:
    QPushButton* read_ = nullptr;
    QPushButton* write_ = nullptr;
    int focusReads_ = 0;
};

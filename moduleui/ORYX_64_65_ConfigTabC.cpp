#include "moduleui/ORYX_64_65_ConfigTabC.h"

#include "app/BusyDialogC.h"
#include "app/DialogControlsC.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

ORYX_64_65_ConfigTabC::ORYX_64_65_ConfigTabC(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::ClickFocus);
    // Pages lie over each other, as the windows they stand for do: one must hide the other.
    setAutoFillBackground(true);
}

void ORYX_64_65_ConfigTabC::BindReadWrite(QPushButton* read, QPushButton* write) {
    read_ = read;
    write_ = write;
    connect(read, &QPushButton::clicked, this, [this] { RunOperation([this] { core().Read(); }); });
    connect(write, &QPushButton::clicked, this,
            [this] { RunOperation([this] { core().Write(); }); });
}

void ORYX_64_65_ConfigTabC::RunOperation(const std::function<void()>& operation) {
    if (BusyDialogC* busy = BusyDialogC::Of(this)) {
        busy->Run(operation);
    } else {
        operation();
    }
}

void ORYX_64_65_ConfigTabC::ShowReadWriteStates() {
    for (QPushButton* button : {read_, write_}) {
        if (button != nullptr) {
            button->setEnabled(core().readWriteEnabled());
        }
    }
}

void ORYX_64_65_ConfigTabC::TakeFocus() {
    const int before = focusReads_;
    setFocus(Qt::OtherFocusReason);
    if (focusReads_ == before) {
        core().OnFocusFromOutside();
    }
}

void ORYX_64_65_ConfigTabC::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    ++focusReads_;
    // A click on the page's background, a label or a disabled field lands the focus here
    // too; the user stayed in the page, so there is nothing new to read. While the dialog
    // waits for the module, the window coming back to the front must not start an exchange.
    if (event->reason() != Qt::MouseFocusReason && !BusyDialogC::Awaiting()) {
        core().OnFocusFromOutside();
    }
    // The page itself takes no keys: hand the focus on to its first control.
    if (hasFocus()) {
        focusNextChild();
    }
}

// The dialog takes Enter as its OK, which closes the port and ends the program: a user
// confirming a typed name or a chosen entry means nothing of the kind. Enter on a page's
// button presses that button, as it does in the dialog.
void ORYX_64_65_ConfigTabC::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ORYX_64_65_ConfigTabC::MessageBox(const std::string& text, const std::string& caption) {
    ShowOkBox(this, text, caption);
}

void ORYX_64_65_ConfigTabC::SetWaitCursor(bool on) {
    ShowWaitCursor(on);
}

void ORYX_64_65_ConfigTabC::Await(const std::function<void()>& work) {
    BusyDialogC::Await(work);
}

void ORYX_64_65_ConfigTabC::OnViewThread(const std::function<void()>& call) {
    BusyDialogC::OnInterfaceThread(call);
}

void ORYX_64_65_ConfigTabC::ShowOkBox(QWidget* parent, const std::string& text,
                                      const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, parent);
    DialogControlsC::FitCaption(box);
    BusyDialogC::WithArrowCursor([&box] { box.exec(); });
}

void ORYX_64_65_ConfigTabC::ShowWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

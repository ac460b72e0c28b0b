#include "app/ORYX_DetectDlgC.h"

#include "app/DialogUnitsC.h"

#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

ORYX_DetectDlgC::ORYX_DetectDlgC(QWidget* parent) : QDialog(parent) {
    CreateControls();
}

void ORYX_DetectDlgC::CreateControls() {
    setWindowTitle(QStringLiteral("Waiting for radio..."));
    DialogUnitsC du(font());
    setFixedSize(du.size(145, 51));
    auto* text = new QLabel(QString::fromLatin1(DetectWaitHooksS::kReconnectText), this);
    text->setObjectName(QString::number(IDC_TEXT));
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    text->setWordWrap(true);
    text->setGeometry(du.rect(7, 7, 131, 20));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QString::number(IDC_CANCEL));
    cancel->setGeometry(du.rect(47, 30, 50, 14));
    connect(cancel, &QPushButton::clicked, this, [this] { cancelled_ = true; });
}

int ORYX_DetectDlgC::RunWait(WaitT wait) {
    wait_ = std::move(wait);
    setWindowTitle(QString::fromStdString(title));
    QTimer::singleShot(200, this, &ORYX_DetectDlgC::OnTimer);
    return exec();
}

void ORYX_DetectDlgC::SetText(const QString& text) {
    findChild<QLabel*>(QString::number(IDC_TEXT))->setText(text);
}

void ORYX_DetectDlgC::OnTimer() {
    if (forgetEarlyCancel) {
        cancelled_ = false;
    }
    const bool talked = wait_({&ORYX_DetectDlgC::PumpEventsFor, [this] { return cancelled_; }});
    done(talked && !cancelled_ ? QDialog::Accepted : QDialog::Rejected);
}

// Escape and the title-bar close mean Cancel; the running wait notices the flag and ends
// the dialog itself.
void ORYX_DetectDlgC::reject() {
    cancelled_ = true;
}

void ORYX_DetectDlgC::PumpEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

#include "PortBoxUserC.h"

#include "LoopbackListenerC.h"
#include "Ser2netServerC.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

void PortBoxUserC::Type(QComboBox& box, const QString& text) {
    box.setFocus();
    box.lineEdit()->selectAll();
    box.lineEdit()->insert(text);
}

bool PortBoxUserC::ListsWithin(const QComboBox& box, const std::string& port, bool listed,
                               std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while ((box.findText(QString::fromStdString(port)) >= 0) != listed) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

bool PortBoxUserC::ShowsUnlisted(const QComboBox& box, const QString& text) {
    return box.currentText() == text && box.findText(text) < 0;
}

std::string PortBoxUserC::TypeAndRefresh(QComboBox& box, const std::function<std::string()>& plugIn,
                                         QString& typed) {
    LoopbackListenerC listener;
    typed = "rfc2217://127.0.0.1:" + QString::number(listener.port());
    Type(box, typed);
    if (!ListsWithin(box, plugIn(), true, std::chrono::seconds(10))) {
        return "the plugged-in port was not listed";
    }
    if (box.currentText() != typed) {
        return "the refresh replaced the typed text by " + box.currentText().toStdString();
    }
    return listener.TakeConnection() ? "the refresh tried the typed port" : "";
}

std::vector<PortBoxUserC::FailingPortS> PortBoxUserC::FailingNetworkPorts() {
    return {{"rfc2217://127.0.0.1:" + std::to_string(Ser2netServerC::FreePort()),
             "refused the connection"},
            {"rfc2217://127.0.0.1", "is not a network port"}};
}

#include "PortBoxUserC.h"

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

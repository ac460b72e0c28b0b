#include "app/BusyDialogC.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

} // namespace

BusyDialogC::BusyDialogC(QWidget& dialog) : QObject(&dialog), dialog_(dialog) {}

BusyDialogC::~BusyDialogC() {
    QApplication::instance()->removeEventFilter(this);
}

void BusyDialogC::Run(const std::function<void()>& operation) {
    if (busy_) {
        return;
    }
    busy_ = true;
    QApplication::instance()->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    dialog_.repaint();
    operation();
    // The input queued while the operation ran arrives now, and is dropped.
    QApplication::processEvents();
    QApplication::restoreOverrideCursor();
    QApplication::instance()->removeEventFilter(this);
    busy_ = false;
}

void BusyDialogC::WithArrowCursor(const std::function<void()>& answer) {
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    answer();
    QApplication::restoreOverrideCursor();
}

bool BusyDialogC::eventFilter(QObject* watched, QEvent* event) {
    if (busy_ && IsUserInput(event->type()) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == &dialog_) {
        return true;
    }
    return QObject::eventFilter(watched, event);
}

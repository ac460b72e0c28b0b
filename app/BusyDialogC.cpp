#include "app/BusyDialogC.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QWidget>
#include <exception>
#include <thread>

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

int awaiting = 0;

} // namespace

BusyDialogC::BusyDialogC(QWidget& dialog) : QObject(&dialog), dialog_(dialog) {}

BusyDialogC::~BusyDialogC() {
    QApplication::instance()->removeEventFilter(this);
}

BusyDialogC* BusyDialogC::Of(const QWidget* widget) {
    return widget == nullptr ? nullptr : widget->window()->findChild<BusyDialogC*>();
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
    if (closeRequested_) {
        closeRequested_ = false;
        dialog_.close();
    }
}

void BusyDialogC::WithArrowCursor(const std::function<void()>& answer) {
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    answer();
    QApplication::restoreOverrideCursor();
}

void BusyDialogC::Await(const std::function<void()>& work) {
    QEventLoop loop;
    std::exception_ptr failure;
    ++awaiting;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Posted, so that it also ends a loop that has not started yet.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    --awaiting;
    if (failure) {
        std::rethrow_exception(failure);
    }
}

bool BusyDialogC::Awaiting() {
    return awaiting > 0;
}

void BusyDialogC::OnInterfaceThread(const std::function<void()>& call) {
    QCoreApplication* app = QCoreApplication::instance();
    if (QThread::currentThread() == app->thread()) {
        call();
    } else {
        QMetaObject::invokeMethod(app, call, Qt::BlockingQueuedConnection);
    }
}

bool BusyDialogC::DeferClose() {
    closeRequested_ |= busy_;
    return busy_;
}

bool BusyDialogC::eventFilter(QObject* watched, QEvent* event) {
    if (busy_ && IsUserInput(event->type()) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == &dialog_) {
        return true;
    }
    return QObject::eventFilter(watched, event);
}

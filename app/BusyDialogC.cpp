#include "app/BusyDialogC.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <condition_variable>
#include <exception>
#include <mutex>
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

void BusyDialogC::BetweenSteps() {
    if (busy_) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void BusyDialogC::WithArrowCursor(const std::function<void()>& answer) {
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    answer();
    QApplication::restoreOverrideCursor();
}

// What the worker of one Await hands to the interface thread. Only std:: locks pass between
// the two threads, so that ThreadSanitizer sees every hand-over.
struct BusyDialogC::HandOverS {
    std::mutex mutex;
    std::condition_variable answered;
    const std::function<void()>* call = nullptr;
    bool callDone = false;
    bool workDone = false;
};

namespace {

thread_local BusyDialogC::HandOverS* t_handOver = nullptr;

} // namespace

void BusyDialogC::Await(const std::function<void()>& work) {
    HandOverS handOver;
    std::exception_ptr failure;
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (TakeHandedCall(handOver)) {
            loop.quit();
        }
    });
    ++awaiting;
    std::thread worker([&] {
        t_handOver = &handOver;
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        const std::lock_guard lock(handOver.mutex);
        handOver.workDone = true;
    });
    look.start(kLookMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    --awaiting;
    if (failure) {
        std::rethrow_exception(failure);
    }
}

// Runs a call the worker handed over (without the lock: the call may paint, or wait for the
// module itself); true once the work is done.
bool BusyDialogC::TakeHandedCall(HandOverS& handOver) {
    const std::function<void()>* call = nullptr;
    {
        const std::lock_guard lock(handOver.mutex);
        if (handOver.workDone) {
            return true;
        }
        call = std::exchange(handOver.call, nullptr);
    }
    if (call != nullptr) {
        (*call)();
        const std::lock_guard lock(handOver.mutex);
        handOver.callDone = true;
        handOver.answered.notify_all();
    }
    return false;
}

bool BusyDialogC::Awaiting() {
    return awaiting > 0;
}

void BusyDialogC::OnInterfaceThread(const std::function<void()>& call) {
    HandOverS* handOver = t_handOver;
    if (handOver == nullptr) {
        call();
        return;
    }
    std::unique_lock lock(handOver->mutex);
    handOver->callDone = false;
    handOver->call = &call;
    handOver->answered.wait(lock, [handOver] { return handOver->callDone; });
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

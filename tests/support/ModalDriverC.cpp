#include "ModalDriverC.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <deque>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// No step of a test waits this long for a dialog, and no dialog stays open this long unless it
// was forgotten: past it the test fails instead of hanging in the dialog's event loop.
constexpr std::chrono::seconds kLimit{15};

void Dismiss(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}

} // namespace

struct ModalDriverC::Impl {
    std::deque<StepT> steps;
    int stepsRun = 0;
    // The modals steps were run for that are still shown. A dialog keeps its place while one it
    // opened comes and goes, and while it is painted during an operation of its own; it is not
    // a new modal then.
    std::vector<QPointer<QWidget>> handled;
    QPointer<QWidget> onTop;
    Clock::time_point changedAt = Clock::now();
    bool failed = false;
    QTimer timer;

    void Tick();
    void Fail(QWidget* modal);
};

void ModalDriverC::Impl::Tick() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && !modal->isVisible()) {
        modal = nullptr;
    }
    if (modal != onTop) {
        onTop = modal;
        changedAt = Clock::now();
    }
    if (modal != nullptr && failed) {
        Dismiss(modal);
        return;
    }
    std::erase_if(handled,
                  [](const QPointer<QWidget>& w) { return w.isNull() || !w->isVisible(); });
    const bool isNew = std::find(handled.begin(), handled.end(), modal) == handled.end();
    if (modal != nullptr && isNew && !steps.empty()) {
        handled.emplace_back(modal);
        changedAt = Clock::now();
        StepT step = std::move(steps.front());
        steps.pop_front();
        ++stepsRun;
        step(modal);
        return;
    }
    if ((modal != nullptr || !steps.empty()) && Clock::now() - changedAt > kLimit) {
        Fail(modal);
    }
}

void ModalDriverC::Impl::Fail(QWidget* modal) {
    if (!steps.empty()) {
        ADD_FAILURE() << "step " << stepsRun + 1 << " waited more than " << kLimit.count()
                      << " s for a new modal dialog"
                      << (modal ? " while '" + modal->windowTitle().toStdString() + "' stayed open"
                                : std::string());
    } else {
        ADD_FAILURE() << "the modal dialog '" << modal->windowTitle().toStdString()
                      << "' stayed open more than " << kLimit.count() << " s with no step for it";
    }
    // The test has failed: let every dialog go so that it runs to its end.
    failed = true;
    steps.clear();
    if (modal != nullptr) {
        Dismiss(modal);
    }
}

ModalDriverC::ModalDriverC() : impl_(new Impl) {
    impl_->timer.setInterval(5);
    QObject::connect(&impl_->timer, &QTimer::timeout, [this] { impl_->Tick(); });
    impl_->timer.start();
}

ModalDriverC::~ModalDriverC() {
    delete impl_;
}

void ModalDriverC::then(StepT step) {
    if (impl_->steps.empty()) {
        impl_->changedAt = Clock::now();
    }
    impl_->steps.push_back(std::move(step));
}

bool ModalDriverC::finished() const {
    return impl_->steps.empty();
}

void ModalDriverC::thenOk(QString& text) {
    then([&text](QWidget* modal) {
        text = static_cast<QMessageBox*>(modal)->text();
        Click(modal, "OK");
    });
}

void ModalDriverC::PostClick(QWidget* widget) {
    const QPointF at = QRectF(widget->rect()).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(widget, new QMouseEvent(type, at, widget->mapToGlobal(at),
                                                            Qt::LeftButton, Qt::LeftButton,
                                                            Qt::NoModifier));
    }
}

void ModalDriverC::Click(QWidget* modal, const QString& nameOrText) {
    for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
        QString plain = button->text();
        plain.remove(QLatin1Char('&'));
        if (button->objectName() == nameOrText || plain == nameOrText) {
            button->click();
            return;
        }
    }
    qFatal("no button '%s' in '%s'", qPrintable(nameOrText), qPrintable(modal->windowTitle()));
}

void ModalDriverC::PressKey(QWidget* modal, int key) {
    QWidget* target = modal->focusWidget() ? modal->focusWidget() : modal;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

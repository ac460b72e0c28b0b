#include "ModalDriverC.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <deque>

struct ModalDriverC::Impl {
    std::deque<StepT> steps;
    QPointer<QWidget> lastModal;
    QTimer timer;
};

ModalDriverC::ModalDriverC() : impl_(new Impl) {
    impl_->timer.setInterval(5);
    QObject::connect(&impl_->timer, &QTimer::timeout, [this] {
        if (impl_->steps.empty()) {
            impl_->timer.stop();
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == impl_->lastModal || !modal->isVisible()) {
            return;
        }
        impl_->lastModal = modal;
        StepT step = std::move(impl_->steps.front());
        impl_->steps.pop_front();
        step(modal);
    });
}

ModalDriverC::~ModalDriverC() {
    delete impl_;
}

void ModalDriverC::then(StepT step) {
    impl_->steps.push_back(std::move(step));
    impl_->timer.start();
}

bool ModalDriverC::finished() const {
    return impl_->steps.empty();
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

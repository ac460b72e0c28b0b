#include "app/PortBoxFollowerC.h"

#include <QSocketNotifier>

PortBoxFollowerC::PortBoxFollowerC(QObject* parent) : QObject(parent) {
    if (watcher_.fd() >= 0) {
        notifier_ = new QSocketNotifier(watcher_.fd(), QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &PortBoxFollowerC::OnEvents);
    }
}

// The notifier goes before the watcher closes the descriptor it watches.
PortBoxFollowerC::~PortBoxFollowerC() {
    delete notifier_;
}

bool PortBoxFollowerC::TakeChange() {
    const bool changed = changed_;
    changed_ = false;
    return changed;
}

void PortBoxFollowerC::OnEvents() {
    if (watcher_.drainEvents()) {
        changed_ = true;
        emit Changed();
    }
}

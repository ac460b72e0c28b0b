#pragma once

#include "platform/PortWatcher.h"

#include <QObject>
#include <string>
#include <vector>

class QSocketNotifier;

// Tells a dialog when the machine's port list changes (adapters plugged in or out,
// simulators started or ended), woken by the watcher's descriptor rather than by a timer.
// A dialog that may not change its port box now (it is connected) takes the change later.
class PortBoxFollowerC : public QObject {
    Q_OBJECT
public:
    explicit PortBoxFollowerC(QObject* parent = nullptr);
    ~PortBoxFollowerC() override;

    // The machine's port texts in list order, as of the last change.
    const std::vector<std::string>& Ports() const { return watcher_.ports(); }
    // True once after each change: the dialog refills its box then.
    bool TakeChange();

signals:
    void Changed();

private:
    void OnEvents();

    oryx::platform::PortWatcher watcher_;
    QSocketNotifier* notifier_ = nullptr;
    bool changed_ = false;
};

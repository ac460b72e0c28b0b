#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Runs the operations of a dialog that block its thread (a connect, a save): the wait cursor
// shows, and what the user clicks or types into the dialog meanwhile is dropped. The window
// system keeps such input until the thread is free again; delivered then, a second press of
// Connect made while nothing seemed to happen would disconnect at once. Windows of their own
// (message boxes, the detect dialog) take input as usual.
class BusyDialogC : public QObject {
    Q_OBJECT
public:
    explicit BusyDialogC(QWidget& dialog);
    ~BusyDialogC() override;

    // Runs operation, unless one runs already: then it is input made during that one.
    void Run(const std::function<void()>& operation);
    bool Busy() const { return busy_; }

    // Runs answer (a message box, the detect dialog) with the arrow cursor over any wait
    // cursor, so that the pointer shows where the user clicks.
    static void WithArrowCursor(const std::function<void()>& answer);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& dialog_;
    bool busy_ = false;
};

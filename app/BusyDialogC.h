#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Runs the operations of a dialog that block its thread (a connect, a save): the wait cursor
// shows, and what the user clicks or types into the dialog meanwhile is dropped. The window
// system keeps such input until the thread is free again; delivered then, a second press of
// Connect made while nothing seemed to happen would disconnect at once. Windows of their own
// (message boxes, the detect dialog) take input as usual. Closing the window during an
// operation (DeferClose) closes it once the operation has ended, so that the dialog leaves the
// radio and the port as after any finished operation.
class BusyDialogC : public QObject {
    Q_OBJECT
public:
    explicit BusyDialogC(QWidget& dialog);
    ~BusyDialogC() override;

    // Runs operation, unless one runs already: then it is input made during that one.
    void Run(const std::function<void()>& operation);
    bool Busy() const { return busy_; }
    // For an operation that runs on this thread in short steps: between two steps the window
    // paints and its timers run; the user's input stays queued and is dropped at the end.
    void BetweenSteps();
    // For the dialog's reject(): true while an operation runs, and the dialog is closed once
    // it has ended (input that would close it, such as Escape, is dropped meanwhile).
    bool DeferClose();
    // The one that runs the operations of the window that widget is in; null if none does.
    static BusyDialogC* Of(const QWidget* widget);

    // Runs answer (a message box, the detect dialog) with the arrow cursor over any wait
    // cursor, so that the pointer shows where the user clicks.
    static void WithArrowCursor(const std::function<void()>& answer);

    // Runs work, a wait of seconds for the radio, on a thread of its own while this one goes
    // on painting (status lines, disabled buttons, a window uncovered meanwhile) and running
    // what work hands back through OnInterfaceThread. User input stays queued (and a running
    // operation drops it), so nothing the user does can reach the radio meanwhile.
    static void Await(const std::function<void()>& work);
    // True while Await waits: the window is live, but no other exchange may start.
    static bool Awaiting();
    // From Await's work: runs call on the interface thread and waits for it. Anywhere else it
    // runs call at once.
    static void OnInterfaceThread(const std::function<void()>& call);

    struct HandOverS;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // How often the interface thread looks for a call handed over, and for the work's end.
    static constexpr int kLookMs = 10;
    static bool TakeHandedCall(HandOverS& handOver);

    QWidget& dialog_;
    bool busy_ = false;
    bool closeRequested_ = false;
};

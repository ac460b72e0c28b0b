#pragma once

#include <QString>
#include <functional>

class QDialog;
class QWidget;

// Acts on modal dialogs from inside their own event loop, the way a user would: each step
// waits until a new modal dialog is on top, then runs its action on it. A step that waits in
// vain, or a modal dialog left open with no step for it, fails the test after a limit and
// the dialog is dismissed, so that the test ends instead of hanging.
class ModalDriverC {
public:
    using StepT = std::function<void(QWidget* modal)>;

    // Queues a step; steps run in order, each on the next modal dialog that appears.
    void then(StepT step);
    // Queues a step for a message box: its text is kept in text and its OK pressed.
    void thenOk(QString& text);

    // Clicks the button with the given object name (a control id) or text in the modal dialog.
    static void Click(QWidget* modal, const QString& nameOrText);
    static void PressKey(QWidget* modal, int key);
    // A left click on the middle of widget, queued as the window system queues one: it
    // arrives when the thread next takes its events.
    static void PostClick(QWidget* widget);

    bool finished() const;

    ModalDriverC();
    ~ModalDriverC();

private:
    struct Impl;
    Impl* impl_;
};

#pragma once

#include <QRect>
#include <QString>

class ComboBoxModelC;
class QComboBox;
class QLabel;
class QMessageBox;
class QPushButton;
class QWidget;

// Makes the controls of a dialog laid out from its template: each control carries its
// control id as object name, so views and tests find it by id, and a label is the buddy of
// the control it names.
class DialogControlsC {
public:
    struct LabelledBoxS {
        QLabel* label;
        QComboBox* box;
    };

    explicit DialogControlsC(QWidget& dialog) : dialog_(dialog) {}

    // A label never cut short: fonts here run wider than the one the layout was drawn for.
    QLabel* Label(int id, const QString& text, const QRect& geometry, QWidget* buddy);
    // A drop-down list (not editable).
    QComboBox* DropDown(int id, const QRect& geometry);
    LabelledBoxS LabelledDropDown(int id, const QRect& geometry, int labelId, const QString& label,
                                  const QRect& labelGeometry);
    // A label set right before its box: right-aligned in area, and when a wider font made it
    // wider than area it grows to the left, so its text keeps the gap before the box.
    static void EndLabelAt(QLabel* label, const QRect& area);
    // Makes box a port box: the machine's ports to pick from (PortItemModelC), and a port
    // text the list cannot hold (a device server's rfc2217:// address, a /dev/serial/by-id
    // link) to type in. What the user types goes into model at once, so that a refill of the
    // list while the box is not being looked at does not lose it.
    static void MakePortBox(QComboBox* box, ComboBoxModelC& model);
    // A button that Enter presses only while it has the focus.
    QPushButton* Button(int id, const QString& text, const QRect& geometry);

    // Shows a drop-down's model: entries (refilled only when they changed, so an open list
    // is not reset), selection or typed text, and whether it can be used.
    static void ShowModel(QComboBox* box, const ComboBoxModelC& model);

    // A dialog of a fixed size has nothing to maximise: its title bar offers only the close
    // button (the window manager may still minimise it).
    static void OfferOnlyClose(QWidget& dialog);

    // A message box sizes itself to its text alone, and a window manager then cuts its
    // caption ("O..."): it is made wide enough for the caption and the title bar's buttons.
    static void FitCaption(QMessageBox& box);

    // The object name of the sign a port box shows while its port is not present, and the
    // note that sign and the box give as tooltip (%1: the port text).
    static constexpr const char* kNotPresentSign = "notPresent";
    static inline const QString kNotPresentNote =
        QStringLiteral("%1 is not present now; it is chosen again when it comes back.");

private:
    static void ShowPresence(QComboBox* box, bool missing);

    QWidget& dialog_;
};

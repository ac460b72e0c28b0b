#pragma once

#include <QRect>
#include <QString>

class ComboBoxModelC;
class QComboBox;
class QLabel;
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
    // A button that Enter presses only while it has the focus.
    QPushButton* Button(int id, const QString& text, const QRect& geometry);

    // Shows a drop-down's model: entries (refilled only when they changed, so an open list
    // is not reset), selection and whether it can be used.
    static void ShowModel(QComboBox* box, const ComboBoxModelC& model);

private:
    QWidget& dialog_;
};

#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// Lets the user pick one of several radios a search found: a list, OK and Cancel. The first
// row is chosen to begin with; a double click chooses and closes.
class PickRadioDlgC : public QDialog {
public:
    enum ControlId { IDC_LIST = 1091 };

    PickRadioDlgC(const QStringList& rows, const QString& radio, QWidget* parent = nullptr);

    // The row chosen, -1 for none.
    int Chosen() const;

private:
    QListWidget* list_;
};

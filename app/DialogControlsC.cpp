#include "app/DialogControlsC.h"

#include "common/ComboBoxModelC.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

QLabel* DialogControlsC::Label(int id, const QString& text, const QRect& geometry, QWidget* buddy) {
    auto* label = new QLabel(text, &dialog_);
    label->setObjectName(QString::number(id));
    label->setGeometry(geometry);
    label->resize(std::max(geometry.width(), label->sizeHint().width()), geometry.height());
    label->setBuddy(buddy);
    return label;
}

QComboBox* DialogControlsC::DropDown(int id, const QRect& geometry) {
    auto* box = new QComboBox(&dialog_);
    box->setObjectName(QString::number(id));
    box->setEditable(false);
    box->setGeometry(geometry);
    return box;
}

DialogControlsC::LabelledBoxS DialogControlsC::LabelledDropDown(int id, const QRect& geometry,
                                                                int labelId, const QString& label,
                                                                const QRect& labelGeometry) {
    QComboBox* box = DropDown(id, geometry);
    return {Label(labelId, label, labelGeometry, box), box};
}

QPushButton* DialogControlsC::Button(int id, const QString& text, const QRect& geometry) {
    auto* button = new QPushButton(text, &dialog_);
    button->setObjectName(QString::number(id));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

void DialogControlsC::ShowModel(QComboBox* box, const ComboBoxModelC& model) {
    QStringList wanted;
    for (const std::string& entry : model.Entries()) {
        wanted << QString::fromStdString(entry);
    }
    QStringList shown;
    for (int i = 0; i < box->count(); ++i) {
        shown << box->itemText(i);
    }
    if (wanted != shown) {
        box->clear();
        box->addItems(wanted);
        // A simulator's link is longer than the box: its open list shows the whole text.
        box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + box->iconSize().width());
    }
    box->setCurrentIndex(model.Selected());
    box->setEnabled(model.Enabled());
}

#include "app/DialogControlsC.h"

#include "app/PortItemModelC.h"
#include "common/ComboBoxModelC.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>

QLabel* DialogControlsC::Label(int id, const QString& text, const QRect& geometry, QWidget* buddy) {
    auto* label = new QLabel(text, &dialog_);
    label->setObjectName(QString::number(id));
    label->setGeometry(geometry);
    label->resize(std::max(geometry.width(), label->sizeHint().width()), geometry.height());
    label->setBuddy(buddy);
    return label;
}

void DialogControlsC::EndLabelAt(QLabel* label, const QRect& area) {
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->move(area.right() + 1 - label->width(), label->y());
    label->setFixedWidth(label->width());
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

void DialogControlsC::MakePortBox(QComboBox* box, ComboBoxModelC& model) {
    box->setModel(new PortItemModelC(box));
    box->setEditable(true);
    // A typed text is not added to the list: the list holds the machine's ports, and an entry
    // there would be tried and described like one.
    box->setInsertPolicy(QComboBox::NoInsert);
    // ShowModel fills the box with its signals blocked, so only the user's changes arrive here.
    QObject::connect(box, &QComboBox::editTextChanged, box, [box, &model](const QString& text) {
        model.SetText(text.toStdString());
        ShowPresence(box, model.Missing());
    });
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
    // Filling the box changes its text: that is not the user's doing (see MakePortBox).
    const QSignalBlocker filling(box);
    if (wanted != shown) {
        box->clear();
        box->addItems(wanted);
        // A simulator's link is longer than the box: its open list shows the whole text.
        box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + box->iconSize().width());
    }
    // An editable box empties its text on every selection of nothing, also of nothing again.
    if (!box->isEditable() || box->currentIndex() != model.Selected()) {
        box->setCurrentIndex(model.Selected());
    }
    const QString text = QString::fromStdString(model.Text());
    if (box->isEditable() && box->currentText() != text) {
        box->setEditText(text);
    }
    if (box->isEditable()) {
        ShowPresence(box, model.Missing());
    }
    box->setEnabled(model.Enabled());
}

void DialogControlsC::OfferOnlyClose(QWidget& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

void DialogControlsC::FitCaption(QMessageBox& box) {
    constexpr int kTitleBarButtons = 120;
    constexpr int kLeast = 260;
    const int wanted =
        std::max(kLeast, box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarButtons);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
}

// A port that is gone for now keeps its text, so that the user sees which port will come
// back; greyed with a warning sign, so that nobody takes it for a port that is there.
void DialogControlsC::ShowPresence(QComboBox* box, bool missing) {
    QLineEdit* edit = box->lineEdit();
    auto* sign = edit->findChild<QAction*>(kNotPresentSign);
    if (!sign) {
        sign = edit->addAction(box->style()->standardIcon(QStyle::SP_MessageBoxWarning),
                               QLineEdit::TrailingPosition);
        sign->setObjectName(kNotPresentSign);
    }
    sign->setVisible(missing);
    const QString note = missing ? kNotPresentNote.arg(box->currentText()) : QString();
    sign->setToolTip(note);
    // A simulator's link or a device server's address is longer than the box shows.
    const bool cut = edit->fontMetrics().horizontalAdvance(box->currentText()) >
                     edit->contentsRect().width() - 2 * edit->textMargins().left() - 4;
    box->setToolTip(missing ? note : cut ? box->currentText() : QString());
    QPalette palette = edit->palette();
    palette.setColor(
        QPalette::Text,
        box->palette().color(missing ? QPalette::Disabled : QPalette::Active, QPalette::Text));
    edit->setPalette(palette);
}

#include "moduleui/CTabSearchPairSettings.h"

#include "app/DialogControlsC.h"
#include "app/DialogUnitsC.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

CTabSearchPairSettings::CTabSearchPairSettings(ModuleDialogCoreC* dialog, ControllerT* controller,
                                               QWidget* parent)
    : ORYX_64_65_ConfigTabC(parent), core_(dialog, controller, *this) {
    CreateControls();
    core_.OnInitDialog();
}

void CTabSearchPairSettings::CreateControls() {
    DialogUnitsC du(font());
    DialogControlsC controls(*this);
    auto label = [&](const QString& text, const QRect& geometry, QWidget* buddy) {
        controls.Label(-1, text, geometry, buddy)->setObjectName(QString());
    };
    paired_ = new QLineEdit(this);
    paired_->setObjectName(QString::number(IDC_PAIRED_DEVICE));
    paired_->setReadOnly(true);
    paired_->setGeometry(du.rect(3, 13, 149, 13));
    label(QStringLiteral("Paired Device"), du.rect(4, 4, 44, 8), paired_);
    found_ = new QListWidget(this);
    found_->setObjectName(QString::number(IDC_FOUND_DEVICES));
    found_->setSortingEnabled(false);
    found_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    found_->setGeometry(du.rect(4, 39, 148, 67));
    label(QStringLiteral("Found Devices"), du.rect(5, 29, 48, 8), found_);
    search_ = controls.Button(IDC_SEARCH, QStringLiteral("Search"), du.rect(4, 108, 73, 14));
    pair_ = controls.Button(IDC_PAIR, QStringLiteral("Pair"), du.rect(79, 108, 73, 14));
    setTabOrder(paired_, found_);
    setTabOrder(found_, search_);
    setTabOrder(search_, pair_);

    // Only a device the user selected counts: tabbing into the list makes its first line
    // the current one without selecting it, and Pair must not offer that.
    connect(found_, &QListWidget::itemSelectionChanged, this,
            [this] { core_.OnLineSelected(SelectedRow()); });
    connect(search_, &QPushButton::clicked, this,
            [this] { RunOperation([this] { core_.Search(); }); });
    connect(pair_, &QPushButton::clicked, this, [this] { RunOperation([this] { core_.Pair(); }); });
}

int CTabSearchPairSettings::SelectedRow() const {
    const QList<QListWidgetItem*> selected = found_->selectedItems();
    return selected.isEmpty() ? -1 : found_->row(selected.front());
}

void CTabSearchPairSettings::TakeControls() {
    core_.selectedLine = SelectedRow();
}

void CTabSearchPairSettings::ShowControls() {
    paired_->setText(QString::fromStdString(core_.pairedDevice));
    QStringList lines;
    for (const std::string& line : core_.listLines) {
        lines << QString::fromStdString(line);
    }
    QStringList shown;
    for (int i = 0; i < found_->count(); ++i) {
        shown << found_->item(i)->text();
    }
    {
        const QSignalBlocker quiet(found_);
        if (lines != shown) {
            found_->clear();
            found_->addItems(lines);
        }
        found_->setCurrentRow(core_.selectedLine);
        if (core_.selectedLine < 0) {
            found_->clearSelection();
        }
    }
    found_->setAccessibleName(QString::fromStdString(core_.listText));
    setEnabled(core_.pageEnabled);
    search_->setEnabled(core_.searchEnabled);
    found_->setEnabled(core_.listEnabled);
    pair_->setEnabled(core_.pairEnabled);
}

#include "app/PickRadioDlgC.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

PickRadioDlgC::PickRadioDlgC(const QStringList& rows, const QString& radio, QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)) {
    setWindowTitle(QString("Choose the %1").arg(radio));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QString("%1 %2s answered. Choose the one to connect to:").arg(rows.size()).arg(radio),
        this));
    list_->setObjectName(QString::number(IDC_LIST));
    list_->addItems(rows);
    list_->setCurrentRow(0);
    // Wide enough for every row, high enough for a few: rows cut short would hide the rate.
    const int frame = 2 * list_->frameWidth();
    list_->setMinimumWidth(list_->sizeHintForColumn(0) + frame + 8);
    list_->setFixedHeight(list_->sizeHintForRow(0) * std::min<int>(rows.size(), 8) + frame + 4);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

int PickRadioDlgC::Chosen() const {
    return list_->currentRow();
}

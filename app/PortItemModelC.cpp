#include "app/PortItemModelC.h"

PortItemModelC::PortItemModelC(QObject* parent) : QStandardItemModel(parent) {}

QVariant PortItemModelC::data(const QModelIndex& index, int role) const {
    if (role != Qt::ToolTipRole || !index.isValid()) {
        return QStandardItemModel::data(index, role);
    }
    const std::string portText =
        QStandardItemModel::data(index, Qt::DisplayRole).toString().toStdString();
    return QString::fromStdString(
        catalog_.describe(portText, oryx::platform::PortCatalog::OpenCheck::Skip).describe());
}

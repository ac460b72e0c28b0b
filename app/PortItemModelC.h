#pragma once

#include "platform/PortCatalog.h"

#include <QStandardItemModel>

// The entries of a port box. Each entry's tooltip tells what the machine knows about that
// port; it is made when asked for, so whether the port opens is current and nothing is opened
// just to fill the box.
class PortItemModelC : public QStandardItemModel {
    Q_OBJECT
public:
    explicit PortItemModelC(QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role) const override;

private:
    oryx::platform::PortCatalog catalog_;
};

#pragma once

#include "platform/PortCatalog.h"

#include <QStandardItemModel>

// The entries of a port box. Each entry's tooltip tells what the device database knows about
// that port, made when asked for. The port is never opened for it: opening a real adapter
// raises its modem lines and can reset the board behind it, so whether it opens is learnt
// when the user connects.
class PortItemModelC : public QStandardItemModel {
    Q_OBJECT
public:
    explicit PortItemModelC(QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role) const override;

private:
    oryx::platform::PortCatalog catalog_;
};

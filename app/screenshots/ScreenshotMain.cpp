// Writes a PNG of every dialog of the program, in each of its states, into one folder, so
// the dialogs can be looked at without a desktop.
#include "RadioSelectionDlgC.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void Save(QWidget& widget, const QDir& folder, const QString& name) {
    widget.show();
    QApplication::processEvents();
    QString path = folder.filePath(name + QStringLiteral(".png"));
    widget.grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
    folder.mkpath(QStringLiteral("."));

    // The dialogs log and store settings; keep both away from the user's own.
    QTemporaryDir scratch;
    QDir::setCurrent(scratch.path());

    RadioSelectionDlgC selection;
    Save(selection, folder, QStringLiteral("select-radio-type"));
    return 0;
}

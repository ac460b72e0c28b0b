// Feeds the stored settings arbitrary file contents and reads them back through the settings
// store: a stored text that reaches the program always fits the old 255-byte value buffer, a
// radio selection is a 32-bit number, and nothing crashes on a file edited by hand.
//
// Input: the whole settings file.

#include "FuzzChecks.h"
#include "app/SettingsStoreC.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <cstdlib>
#include <string>

namespace {

QString g_file;

QString StoreFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           "/" + SettingsStoreC::kOrganisation;
    QDir().mkpath(folder);
    return folder + "/" + SettingsStoreC::kApplication + ".conf";
}

void CheckText(const QString& text) {
    FuzzCheck(!text.isEmpty(), "an empty stored text instead of its default");
    FuzzCheck(text.toLocal8Bit().size() <= 254, "a stored text longer than its buffer");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The settings go into a private folder of this run, never the user's own.
    std::string folder = "/tmp/oryx-settings-fuzz-XXXXXX";
    if (const char* tmp = std::getenv("TMPDIR")) {
        folder = std::string(tmp) + "/oryx-settings-fuzz-XXXXXX";
    }
    if (::mkdtemp(folder.data()) == nullptr) {
        FuzzFail("no folder for the settings");
    }
    ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    static QCoreApplication app(*argc, *argv);
    g_file = StoreFile();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        QFile file(g_file);
        FuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write settings");
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    // A settings object caches a file it has read; a fresh one per input reads this input.
    QSettings(g_file, QSettings::IniFormat).sync();
    const SettingsStoreC store;
    CheckText(store.port());
    CheckText(store.baudrate());
    (void)store.radioSelection();
    return 0;
}

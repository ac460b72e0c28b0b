#include <QApplication>
#include <QThreadPool>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    // Qt splits the conversion of a large image (a window flushed to the offscreen screen)
    // over its thread pool. The program has no use for that in a test, and its threads, in
    // libraries built without ThreadSanitizer, race in ways the sanitizer cannot see ordered.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#pragma once
// One QApplication for the whole test process, on the offscreen platform so the tests run
// headless. Call tv::mediatest::app() before creating widgets or pixmaps.

#include <QApplication>
#include <QByteArray>

namespace tv::mediatest {

inline QApplication& app() {
    static QApplication* instance = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
        static int argc = 1;
        static char name[] = "media_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *instance;
}

} // namespace tv::mediatest

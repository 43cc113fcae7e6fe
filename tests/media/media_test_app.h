#pragma once
// One QApplication for the media tests, on the offscreen platform so they run headless.

#include <QApplication>
#include <QByteArray>

namespace tv::test {

inline QApplication& mediaApp() {
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

} // namespace tv::test

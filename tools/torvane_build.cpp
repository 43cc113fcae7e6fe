// torvane-build: makes a game project folder from a readable description, and describes a
// project folder (one made on Windows included). See tools/builder/description.h.

#include "tools/builder/description.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return tv::builder::runCommandLine(app.arguments().mid(1), out, err);
}

#include "QelDb.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    // Qt's SQL drivers are plugins and need an application object to be
    // found; nothing heavier (no GUI) is started, as set-up scripts call the
    // tool many times.
    // render-layout alone lays out text and needs fonts, hence a GUI
    // application; it draws off screen, so it runs without a display too.
    std::unique_ptr<QCoreApplication> app;
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (qeldb::parseCommandLine(arguments).options.command == QLatin1String("render-layout")) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    // Unbuffered: the tool writes whole rows and lines itself, and progress
    // lines must show up before a long batch runs.
    QFile out;
    QFile err;
    out.open(fileno(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    err.open(fileno(stderr), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    return qeldb::run(QCoreApplication::arguments().mid(1), out, err);
}

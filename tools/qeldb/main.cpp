#include "QelDb.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    // Qt's SQL drivers are plugins and need an application object to be
    // found; nothing heavier (no GUI) is started, as set-up scripts call the
    // tool many times.
    QCoreApplication app(argc, argv);

    // Unbuffered: the tool writes whole rows and lines itself, and progress
    // lines must show up before a long batch runs.
    QFile out;
    QFile err;
    out.open(fileno(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    err.open(fileno(stderr), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    return qeldb::run(QCoreApplication::arguments().mid(1), out, err);
}

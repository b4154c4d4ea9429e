#include "QelApplication.h"

#include "widgets/PaintTasks.h"

#include <cstdio>
#include <exception>

QelApplication::QelApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    widgets::paintOnTheCallingThread(true);
}

bool QelApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        const QString message = QString::fromUtf8(e.what());
        if (handler_)
            handler_(message);
        else
            std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        if (handler_)
            handler_(QStringLiteral("Unknown error"));
    }
    return false;
}

#include "Automation.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace Automation {

namespace {

void press(int key, const QString& text = QString())
{
    QWidget* target = QApplication::focusWidget();
    if (!target)
        return;
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &down);
    if ((target = QApplication::focusWidget())) {
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &up);
    }
    QApplication::processEvents();
}

void type(const QString& keys)
{
    static const QRegularExpression token(QStringLiteral("<(F\\d+|TAB|DOWN|UP)>|\\n|."),
                                          QRegularExpression::DotMatchesEverythingOption);
    for (auto it = token.globalMatch(keys); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString t = m.captured(0);
        if (t == QLatin1String("\n"))
            press(Qt::Key_Return, QStringLiteral("\r"));
        else if (t == QLatin1String("<TAB>"))
            press(Qt::Key_Tab);
        else if (t == QLatin1String("<DOWN>"))
            press(Qt::Key_Down);
        else if (t == QLatin1String("<UP>"))
            press(Qt::Key_Up);
        else if (!m.captured(1).isEmpty())
            press(Qt::Key_F1 + m.captured(1).mid(1).toInt() - 1);
        else
            press(t.at(0).isLetterOrNumber() ? t.at(0).toUpper().unicode() : 0, t);
    }
}

} // namespace

void typeAndCapture(QWidget* window, const QString& keys, const QString& file)
{
    // After the show step (queued) has run and the panels have had a blink.
    QTimer::singleShot(300, window, [window, keys, file] {
        type(keys);
        QTimer::singleShot(1200, window, [window, file] {
            if (!window->grab().save(file, "PNG"))
                std::fprintf(stderr, "Cannot save the screenshot to %s\n", file.toLocal8Bit().constData());
            window->close();
        });
    });
}

} // namespace Automation

#include "MessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace widgets {

namespace {

MessageHandler& currentHandler()
{
    static MessageHandler handler;
    return handler;
}

bool nonInteractive()
{
    static const bool value = qEnvironmentVariableIntValue("QEL_NONINTERACTIVE") == 1;
    return value;
}

struct Colours {
    QColor background;
    QColor foreground;
};

bool ask(MessageKind kind, const QString& text, QWidget* parent, const Colours* colours = nullptr)
{
    if (currentHandler())
        return currentHandler()(kind, text);
    if (nonInteractive()) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return true;
    }
    const QString title = QApplication::applicationDisplayName();
    switch (kind) {
    case MessageKind::Plain: {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
        box.exec();
        return true;
    }
    case MessageKind::Information:
        QMessageBox::information(parent, title, text);
        return true;
    case MessageKind::Warning:
        QMessageBox::warning(parent, title, text);
        return true;
    case MessageKind::Error:
        QMessageBox::critical(parent, title, text);
        return true;
    case MessageKind::Confirmation: {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        if (colours) {
            QPalette palette = box.palette();
            palette.setColor(QPalette::Window, colours->background);
            palette.setColor(QPalette::WindowText, colours->foreground);
            box.setPalette(palette);
            box.setAutoFillBackground(true);
        }
        return box.exec() == QMessageBox::Yes;
    }
    }
    return true;
}

} // namespace

bool unattended()
{
    return nonInteractive();
}

bool messagesOnScreen()
{
    return !currentHandler() && !nonInteractive();
}

MessageHandler setMessageHandler(MessageHandler handler)
{
    MessageHandler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}

void showMessage(MessageKind kind, const QString& text, QWidget* parent)
{
    ask(kind, text, parent);
}

bool confirm(const QString& text, QWidget* parent)
{
    return ask(MessageKind::Confirmation, text, parent);
}

bool confirmInColour(const QString& text, const QColor& background, const QColor& foreground, QWidget* parent)
{
    const Colours colours{background, foreground};
    return ask(MessageKind::Confirmation, text, parent, &colours);
}

} // namespace widgets

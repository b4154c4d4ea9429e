#pragma once

#include <QColor>
#include <QString>

#include <functional>

class QWidget;

namespace widgets {

// The program's message boxes. They go through one place so that a run
// without anyone at the screen (tests, automation, a server) can answer them
// instead of blocking: set a handler, or QEL_NONINTERACTIVE=1, which writes
// each message to standard error and answers OK / Yes.
enum class MessageKind { Plain, Information, Warning, Error, Confirmation };

using MessageHandler = std::function<bool(MessageKind kind, const QString& text)>;

// Replaces the handler; returns the previous one. An empty handler restores
// the real dialogs.
MessageHandler setMessageHandler(MessageHandler handler);

// False when messages go to standard error instead of the screen.
bool messagesOnScreen();
// True when nobody is at the screen (QEL_NONINTERACTIVE=1): windows that
// would wait for the user write to standard error instead.
bool unattended();

// A box with an OK button (a Plain box has no icon).
void showMessage(MessageKind kind, const QString& text, QWidget* parent = nullptr);
// A Yes/No question; true for Yes.
bool confirm(const QString& text, QWidget* parent = nullptr);
// The same question in a box of these colours (a warning that stands out).
bool confirmInColour(const QString& text, const QColor& background, const QColor& foreground,
                     QWidget* parent = nullptr);

} // namespace widgets

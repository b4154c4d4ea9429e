#pragma once

#include <QString>
#include <QStringList>
#include <Qt>

#include <functional>

class QDialog;
class QWidget;

// Driving modal dialogs from a test without ever hanging it.
//
// A modal dialog's exec() blocks the test, so what the clerk does in the
// dialog is registered first with onNextModal() and runs from the dialog's
// own event loop once it is up. If no new modal dialog comes up within the
// deadline, or the one that came up is still open at the deadline, the test
// fails and every open modal dialog is rejected, so a broken flow fails
// instead of blocking the run.
void onNextModal(std::function<void(QDialog& dialog)> step, int deadlineMs = 5000);

// Keys as the clerk presses them: to whatever has the focus now.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void typeHere(const QString& text);
// Ctrl+V with `text` on the clipboard (long texts, as a clerk pastes them).
void pasteHere(const QString& text);

// The focused widget, or the nearest of its parents, carries this object
// name (a grid's table sits inside the named grid).
bool focusIsIn(const QString& objectName);
// gtest assertion form: names what has the focus when it is not `objectName`.
#define EXPECT_FOCUS(name) EXPECT_TRUE(focusIsIn(name)) << "the focus is on " << qPrintable(focusDescription())
QString focusDescription();

// Records the program's message boxes (widgets::setMessageHandler) for the
// lifetime of the object and answers questions from a list of answers (Yes
// when the list runs out, unless told otherwise).
class MessageRecorder {
public:
    explicit MessageRecorder(QList<bool> answers = {}, bool otherwise = true);
    ~MessageRecorder();

    QStringList texts;
    QStringList questions;

private:
    QList<bool> answers_;
    bool otherwise_;
};

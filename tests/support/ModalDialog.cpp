#include "ModalDialog.h"

#include "widgets/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int kPollMs = 10;

void rejectEveryModal()
{
    // Innermost first, so each exec() can return to the one below it.
    for (int guard = 0; guard < 20; ++guard) {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->reject();
        if (dialog->isVisible())
            dialog->hide();
        QApplication::processEvents();
    }
}

// A step that leaves its dialog open must still let the test go on.
// After the deadline it goes on rejecting whatever comes up (a message box
// the step did not expect) until the dialog is closed.
void watchStillOpen(QPointer<QDialog> opened, QDeadlineTimer deadline, bool failed = false)
{
    if (!opened || !opened->isVisible())
        return;
    if (deadline.hasExpired()) {
        if (!failed)
            ADD_FAILURE() << "the dialog " << qPrintable(opened->objectName()) << " was still open at the deadline";
        failed = true;
        rejectEveryModal();
    }
    QTimer::singleShot(kPollMs, [opened, deadline, failed] { watchStillOpen(opened, deadline, failed); });
}

void watch(QPointer<QWidget> before, QPointer<QWidget> activeBefore, std::function<void(QDialog&)> step,
           QDeadlineTimer deadline)
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog && dialog != before && dialog->isVisible()) {
        QPointer<QDialog> opened(dialog);
        // And makes the window below active again when it closes.
        QObject::connect(
            dialog, &QDialog::finished, dialog,
            [activeBefore] {
                if (activeBefore && activeBefore->isVisible()) {
                    activeBefore->activateWindow();
                    QTest::qWaitForWindowActive(activeBefore, 2000);
                }
            },
            Qt::SingleShotConnection);
        // A window manager makes a new modal window the active one; the
        // offscreen platform needs to be asked.
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog, 2000))
            ADD_FAILURE() << "the dialog " << qPrintable(dialog->objectName()) << " never became active";
        step(*dialog);
        watchStillOpen(opened, deadline);
        return;
    }
    if (deadline.hasExpired()) {
        ADD_FAILURE() << "no modal dialog came up before the deadline";
        rejectEveryModal();
        return;
    }
    QTimer::singleShot(kPollMs, [before, activeBefore, step = std::move(step), deadline]() mutable {
        watch(before, activeBefore, std::move(step), deadline);
    });
}

} // namespace

void onNextModal(std::function<void(QDialog& dialog)> step, int deadlineMs)
{
    QPointer<QWidget> before = QApplication::activeModalWidget();
    QPointer<QWidget> activeBefore = QApplication::activeWindow();
    const QDeadlineTimer deadline(deadlineMs);
    QTimer::singleShot(0, [before, activeBefore, step = std::move(step), deadline]() mutable {
        watch(before, activeBefore, std::move(step), deadline);
    });
}

void press(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << "nothing has the focus to take the key";
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

void typeHere(const QString& text)
{
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << "nothing has the focus to type into";
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(target, char(c.unicode()));
        } else {
            // A Thai keyboard sends the character as the key's text.
            QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

void pasteHere(const QString& text)
{
    QApplication::clipboard()->setText(text);
    press(Qt::Key_V, Qt::ControlModifier);
}

bool focusIsIn(const QString& objectName)
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (w->objectName() == objectName)
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}

QString focusDescription()
{
    QWidget* w = QApplication::focusWidget();
    if (!w)
        return QStringLiteral("nothing");
    QStringList chain;
    for (; w; w = w->parentWidget()) {
        chain << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
        if (w->isWindow())
            break;
    }
    return chain.join(QStringLiteral(" in "));
}

MessageRecorder::MessageRecorder(QList<bool> answers, bool otherwise)
    : answers_(std::move(answers)), otherwise_(otherwise)
{
    widgets::setMessageHandler([this](widgets::MessageKind kind, const QString& text) {
        if (kind != widgets::MessageKind::Confirmation) {
            texts << text;
            return true;
        }
        questions << text;
        return answers_.isEmpty() ? otherwise_ : answers_.takeFirst();
    });
}

MessageRecorder::~MessageRecorder()
{
    widgets::setMessageHandler({});
}

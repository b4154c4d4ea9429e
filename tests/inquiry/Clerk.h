#pragma once

// Keys as a clerk presses them: always to the control that has the focus,
// never to a control picked by the test. The focus moves only by keys.

#include <QApplication>
#include <QString>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace clerk {

inline QWidget* focused()
{
    return QApplication::focusWidget();
}

inline void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = focused();
    ASSERT_NE(target, nullptr) << "no control has the focus";
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

// Key by key, each to the control that has the focus then: the first key
// typed on a grid cell opens its editor, the rest go into it.
inline void type(const QString& text)
{
    for (const QChar c : text) {
        QWidget* target = focused();
        ASSERT_NE(target, nullptr) << "no control has the focus";
        QTest::keyClicks(target, QString(c));
    }
}

// Replaces the text of the focused box and presses Enter.
inline void enter(const QString& text)
{
    press(Qt::Key_A, Qt::ControlModifier);
    type(text);
    press(Qt::Key_Return);
}

// Tab (or Shift+Tab) until `target` has the focus; fails after a round.
inline void tabTo(const QWidget* target, bool backwards = false)
{
    for (int i = 0; i < 12 && focused() != target; ++i)
        press(backwards ? Qt::Key_Backtab : Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
    ASSERT_EQ(focused(), target) << "Tab does not reach " << target->objectName().toStdString();
}

} // namespace clerk

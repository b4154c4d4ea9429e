#pragma once

#include <QString>

class QWidget;

// Drives the main window without anyone at the screen, for the demo's
// screenshot on a server: types keys into the window as a clerk would, waits
// for the panels, saves a picture of the window and closes it.
namespace Automation {

// `keys` is typed in order: "\n" is Enter, "<F7>" and other <Fn> are
// function keys, "<TAB>" and "<DOWN>" what they say, anything else is text.
// The picture is saved as PNG to `file` once the typing is done.
void typeAndCapture(QWidget* window, const QString& keys, const QString& file);

} // namespace Automation

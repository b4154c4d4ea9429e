#pragma once

class QLineEdit;

namespace widgets {

// The box turns every letter typed or pasted into upper case, as code boxes
// do throughout the suite.
void setUpperCaseEntry(QLineEdit* box);

// A code box: letters upper-cased as typed, only letters A to Z and digits
// taken, at most `maxLength` of them.
void setCodeEntry(QLineEdit* box, int maxLength);

} // namespace widgets

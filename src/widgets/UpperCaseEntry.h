#pragma once

class QLineEdit;

namespace widgets {

// The box turns every letter typed or pasted into upper case, as code boxes
// do throughout the suite.
void setUpperCaseEntry(QLineEdit* box);

} // namespace widgets

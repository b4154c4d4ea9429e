#include "UpperCaseEntry.h"

#include <QLineEdit>
#include <QValidator>

namespace widgets {

namespace {

class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

} // namespace

void setUpperCaseEntry(QLineEdit* box)
{
    box->setValidator(new UpperCaseValidator(box));
}

} // namespace widgets

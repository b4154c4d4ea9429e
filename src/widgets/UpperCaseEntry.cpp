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

class CodeValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        for (const QChar c : std::as_const(input)) {
            if (!((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))))
                return Invalid;
        }
        return Acceptable;
    }
};

} // namespace

void setCodeEntry(QLineEdit* box, int maxLength)
{
    box->setValidator(new CodeValidator(box));
    box->setMaxLength(maxLength);
}

void setUpperCaseEntry(QLineEdit* box)
{
    box->setValidator(new UpperCaseValidator(box));
}

} // namespace widgets

#include "TKIdLookup.h"

#include "UpperCaseEntry.h"

#include "db/Quoting.h"

#include <QKeyEvent>
#include <QLabel>

TKIdLookup::TKIdLookup(QWidget* parent) : QLineEdit(parent)
{
    widgets::setUpperCaseEntry(this);
    connect(this, &QLineEdit::textChanged, this, &TKIdLookup::lookUp);
}

void TKIdLookup::setTable(const QString& table, const QString& idField, const QString& codeField,
                          const QString& descriptionField)
{
    table_ = table;
    idField_ = idField;
    codeField_ = codeField;
    descriptionField_ = descriptionField;
}

void TKIdLookup::setDescriptionLabel(QLabel* label)
{
    label_ = label;
}

void TKIdLookup::bindTo(db::Query* query, const QString& field)
{
    bound_ = query;
    boundField_ = field;
}

bool TKIdLookup::isValid() const
{
    return found() || (text().isEmpty() && emptyAllowed_);
}

void TKIdLookup::lookUp()
{
    id_ = 0;
    description_.clear();
    const QString code = text();
    if (!code.isEmpty() && !table_.isEmpty()) {
        db::Query q(alias_);
        QStringList lines{QStringLiteral("Select ") + idField_
                              + (descriptionField_.isEmpty() ? QString() : QStringLiteral(", ") + descriptionField_),
                          QStringLiteral("From ") + table_,
                          QStringLiteral("Where (") + codeField_ + QStringLiteral(" = ") + db::quoted(code)
                              + QStringLiteral(")")};
        if (!restriction_.isEmpty())
            lines << QStringLiteral("  And (") + restriction_ + QStringLiteral(")");
        q.setSql(lines);
        q.open();
        if (!q.isEmpty()) {
            id_ = int(q.asInteger(idField_));
            if (!descriptionField_.isEmpty())
                description_ = q.asString(descriptionField_);
        }
    }
    if (label_)
        label_->setText(description_);
    if (bound_ && bound_->isOpen() && !bound_->isEmpty())
        bound_->setValue(boundField_, id_);
    emit matched(id_);
}

void TKIdLookup::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
        emit searchKey();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

#pragma once

#include "db/Query.h"

#include <QLineEdit>
#include <QPointer>

class QLabel;

// The code box over a code table: the clerk types a code (or a search
// dialog fills it in), the box finds the row with that code within its
// restriction, shows the row's description in its label and keeps its
// identifier. Entry is upper-cased. A code that finds no row clears the
// label and gives identifier 0, as an empty box does.
//
// When bound to a column of a query's current row (a filter's one-row
// table), that column follows: the identifier of the matched row, 0 when
// the box is empty or matches nothing.
//
// F5 is the caller's: the box only signals it (the caller opens its search).
class TKIdLookup : public QLineEdit {
    Q_OBJECT
public:
    explicit TKIdLookup(QWidget* parent = nullptr);

    // The code table: its identifier, code and description columns. These
    // and the restriction are the program's own texts, never typed ones.
    void setTable(const QString& table, const QString& idField, const QString& codeField,
                  const QString& descriptionField = QString());
    // A condition every row must meet, e.g. "GroupCode='CITY'".
    void setRestriction(const QString& restriction) { restriction_ = restriction; }
    void setDescriptionLabel(QLabel* label);
    void setEmptyAllowed(bool allowed) { emptyAllowed_ = allowed; }
    bool emptyAllowed() const { return emptyAllowed_; }
    void bindTo(db::Query* query, const QString& field);
    const QString& boundField() const { return boundField_; }
    const QString& restriction() const { return restriction_; }
    void setAlias(const QString& alias) { alias_ = alias; }

    // The matched row: its identifier (0 when none) and description.
    int id() const { return id_; }
    QString description() const { return description_; }
    bool found() const { return id_ != 0; }
    // Found, or empty where empty is allowed.
    bool isValid() const;

    // Looks the current text up again (the table may have changed).
    void lookUp();

signals:
    void searchKey();  // F5 pressed in the box
    void matched(int id);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString alias_ = QStringLiteral("DMDATA");
    QString table_;
    QString idField_;
    QString codeField_;
    QString descriptionField_;
    QString restriction_;
    QPointer<QLabel> label_;
    QPointer<db::Query> bound_;
    QString boundField_;
    bool emptyAllowed_ = true;
    int id_ = 0;
    QString description_;
};

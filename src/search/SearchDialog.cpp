#include "SearchDialog.h"

#include "TitleSort.h"

#include "config/TDMConfig.h"
#include "widgets/DbGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTableView>

#include <cmath>

namespace search {

SearchDialog::SearchDialog(QWidget* parent) : QDialog(parent), QSearch(QStringLiteral("DMDATA"))
{
    grid_ = new widgets::DbGrid(this);
    grid_->setReadOnly(true);
    grid_->setRowSelect(true);
    grid_->setQuery(&QSearch);
    connect(grid_, &widgets::DbGrid::titleClicked, this, [this](const QString& field) { titleClicked(field); });
    // Only doubleClicked: activated also fires for Enter, which the key
    // handling already turns into a choice.
    connect(grid_->view(), &QAbstractItemView::doubleClicked, this, [this] {
        if (doubleClickChooses_)
            choose();
    });
}

SearchDialog::~SearchDialog()
{
    if (filtering_)
        qApp->removeEventFilter(this);
}

bool SearchDialog::english()
{
    return DMConfig && !DMConfig->Run.ThaiLanguage;
}

void SearchDialog::setSortSelector(int* selector, const QStringList& titles, bool searchAtOnce)
{
    connect(grid_, &widgets::DbGrid::titleClicked, this, [this, selector, titles, searchAtOnce](const QString& field) {
        const qsizetype place = titles.indexOf(field.toUpper());
        if (field.isEmpty() || place < 0)
            return;
        *selector = int(place);
        if (searchAtOnce)
            search();
    });
}

void SearchDialog::setCodeBox(QLineEdit* box)
{
    codeBox_ = box;
}

// ---------------------------------------------------------------- building blocks

QPushButton* SearchDialog::button(const QString& name, const QString& thai, const QString& english)
{
    auto* b = new QPushButton(thai, this);
    b->setObjectName(name);
    // Enter is the dialog's key: no button may take it as the default one.
    b->setAutoDefault(false);
    b->setDefault(false);
    caption(b, thai, english);
    return b;
}

QPushButton* SearchDialog::searchButton(const QString& name, const QString& thai, const QString& english)
{
    QPushButton* b = button(name, thai, english);
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, &SearchDialog::search);
    return b;
}

QPushButton* SearchDialog::chooseButton(const QString& name, const QString& thai, const QString& english)
{
    QPushButton* b = button(name, thai, english);
    connect(b, &QPushButton::clicked, this, &SearchDialog::choose);
    return b;
}

QPushButton* SearchDialog::cancelButton(const QString& name, const QString& thai, const QString& english)
{
    QPushButton* b = button(name, thai, english);
    connect(b, &QPushButton::clicked, this, &QDialog::reject);
    return b;
}

QLabel* SearchDialog::boxLabel(QWidget* box, const QString& name, const QString& thai)
{
    auto* label = new QLabel(thai, this);
    label->setObjectName(name);
    label->setBuddy(box);
    box->setAccessibleName(thai);
    return label;
}

void SearchDialog::caption(QWidget* widget, const QString& thai, const QString& english)
{
    captions_.append({widget, thai, english});
    if (widget == this)
        setWindowTitle(thai);
}

int SearchDialog::charsFor(int pixels) const
{
    const int margins = grid_->pixelsForChars(0);
    const int perChar = std::max(1, grid_->pixelsForChars(1) - margins);
    return std::max(1, int(std::lround(double(pixels - margins) / perChar)));
}

// ---------------------------------------------------------------- show

void SearchDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Keys are seen first only while the dialog is up.
    if (!filtering_) {
        qApp->installEventFilter(this);
        filtering_ = true;
    }
    QSearch.close();
    const bool inEnglish = english();
    for (const Caption& c : std::as_const(captions_)) {
        if (!c.widget)
            continue;
        const QString& text = inEnglish && !c.english.isEmpty() ? c.english : c.thai;
        if (c.widget == this)
            setWindowTitle(text);
        else if (auto* b = qobject_cast<QAbstractButton*>(c.widget))
            b->setText(text);
        else if (auto* l = qobject_cast<QLabel*>(c.widget))
            l->setText(text);
    }
    showStep();
    if (firstBox_)
        firstBox_->setFocus();
}

void SearchDialog::hideEvent(QHideEvent* event)
{
    if (filtering_) {
        qApp->removeEventFilter(this);
        filtering_ = false;
    }
    QDialog::hideEvent(event);
}

// ---------------------------------------------------------------- keys

bool SearchDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !isVisible())
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // Once per key: on its way to the focused control of this dialog, not
    // again as it bubbles up, and not for another window (a message box).
    if (!widget || widget->window() != this || !widget->hasFocus())
        return false;
    for (const QPointer<QWidget>& area : std::as_const(ownKeys_)) {
        if (area && (area == widget || area->isAncestorOf(widget)))
            return false;
    }
    return handleKey(static_cast<QKeyEvent*>(event));
}

bool SearchDialog::gridHasFocus() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == grid_ || grid_->isAncestorOf(focus));
}

bool SearchDialog::handleKey(QKeyEvent* key)
{
    if (dialogKey(key))
        return true;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (gridHasFocus()) {
            choose();
        } else if (auto* b = qobject_cast<QAbstractButton*>(QApplication::focusWidget())) {
            b->click();
        } else {
            search();
        }
        return true;  // the Enter character itself never reaches a box
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_Down:
        if (codeBox_ && QApplication::focusWidget() == codeBox_) {
            grid_->setFocus();
            return true;
        }
        return false;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- search, choose

void SearchDialog::search()
{
    if (!maySearch())
        return;
    QSearch.close();
    QSearch.setSql(statement());
    QSearch.open();
    if (!QSearch.isEmpty())
        QSearch.first();
    if (!keepFocus_ && (!QSearch.isEmpty() || gridFocusAlways_))
        grid_->setFocus();
}

void SearchDialog::refresh()
{
    const QScopedValueRollback keep(keepFocus_, true);
    search();
}

void SearchDialog::choose()
{
    done(QDialog::Accepted);
}

void SearchDialog::done(int code)
{
    const bool rows = QSearch.isOpen() && !QSearch.isEmpty();
    if (code == QDialog::Accepted && rows) {
        if (!mayChoose())
            return;
        takeResult();
        QSearch.close();
        QDialog::done(QDialog::Accepted);
        return;
    }
    if (code == QDialog::Accepted && emptyChoice_ == EmptyChoice::StayOpen)
        return;
    const bool accept = code == QDialog::Accepted && emptyChoice_ == EmptyChoice::Accept;
    clearResult();
    QSearch.close();
    QDialog::done(accept ? QDialog::Accepted : QDialog::Rejected);
}

// ---------------------------------------------------------------- titles

bool SearchDialog::isLargeObject(const QString& field) const
{
    const int column = QSearch.fieldIndex(field);
    for (int row = 0; row < QSearch.recordCount(); ++row) {
        if (QSearch.valueAt(row, column).metaType().id() == QMetaType::QByteArray)
            return true;
    }
    return false;
}

void SearchDialog::titleClicked(const QString& field)
{
    if (!titleSort_ || !QSearch.isOpen() || !QSearch.hasField(field))
        return;
    QStringList lines = QSearch.sql();
    if (!titleSort_->click(lines, field, QSearch.fieldIndex(field) + 1, isLargeObject(field)))
        return;
    QSearch.setSql(lines);
    search();
}

} // namespace search

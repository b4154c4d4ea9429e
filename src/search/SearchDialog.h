#pragma once

#include "db/Query.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace widgets {
class DbGrid;
}

namespace search {

class TitleSort;

// What every search dialog of the program shares, once:
// - a read-only result grid in row-select mode over QSearch, a query on the
//   business database ("DMDATA");
// - the show step: QSearch closed, captions in Thai or, for a user whose
//   language is not Thai, in English where the dialog has them, the
//   dialog's own reset, the focus to its first box;
// - the keys, seen by the dialog before its controls while it is shown:
//   Enter on the grid chooses, Enter on a button presses it, Enter anywhere
//   else searches (and never reaches a box), Escape cancels, Down in the
//   code box moves to the grid; a double-click on the grid chooses;
// - the search: the dialog's lines, QSearch opened, the grid focused on its
//   first row when rows came back;
// - title clicks through a TitleSort, when the dialog has one;
// - the result: filled only when the dialog closes with OK on a row it may
//   choose; any other close (Cancel, Escape, the close button, OK on an
//   empty list) empties it and reports Cancel, since every way out of a
//   QDialog ends in done(). A dialog may keep OK on an empty list from
//   closing, or report it as OK with an empty result (setEmptyChoice).
//
// A dialog states only its differences: names, sizes, captions, boxes and
// columns, its statement and its result fields.
class SearchDialog : public QDialog {
    Q_OBJECT
public:
    // What OK does when there is no row to choose.
    enum class EmptyChoice {
        Cancel,    // the result is emptied and the caller sees Cancel (the rule)
        StayOpen,  // nothing happens: the clerk searches again or cancels
        Accept,    // the caller sees OK with an empty result
    };

    ~SearchDialog() override;

    db::Query QSearch;

    widgets::DbGrid* grid() const { return grid_; }

    void search();
    // The same search, the focus left where it is (search as you type).
    void refresh();
    void choose();  // closes with OK
    void done(int code) override;

protected:
    explicit SearchDialog(QWidget* parent = nullptr);

    // --- What a dialog states ---------------------------------------------
    // The lines of the next search. Typed text enters only through
    // db::quoted(); a dialog with a fixed statement sets QSearch's
    // parameters here and returns its stored lines.
    virtual QStringList statement() = 0;
    virtual void takeResult() = 0;   // from QSearch's current row
    virtual void clearResult() = 0;
    // The dialog's own part of the show step (reset boxes, search at once).
    virtual void showStep() {}
    // False: the current row may not be chosen; the dialog has said why and
    // stays open.
    virtual bool mayChoose() { return true; }
    // A key of the dialog's own, before the shared ones; true when taken.
    virtual bool dialogKey(QKeyEvent*) { return false; }
    // False: no search now (the dialog has said why); the list stays as it is.
    virtual bool maySearch() { return true; }

    // --- Settings -----------------------------------------------------------
    void setFirstBox(QWidget* box) { firstBox_ = box; }  // focused at show
    void setCodeBox(QLineEdit* box);  // Down moves to the grid
    void setTitleSort(TitleSort* sort) { titleSort_ = sort; }
    // Title clicks that pick one of a few fixed orders instead: the clicked
    // field's upper-case name, found in `titles`, sets `*selector` to its
    // place. With `searchAtOnce` the search runs again; otherwise the order
    // waits for the next search.
    void setSortSelector(int* selector, const QStringList& titles, bool searchAtOnce);
    // After every search, not only one with rows, the grid takes the focus.
    void setGridFocusAlways(bool always) { gridFocusAlways_ = always; }
    void setDoubleClickChooses(bool chooses) { doubleClickChooses_ = chooses; }
    void setEmptyChoice(EmptyChoice choice) { emptyChoice_ = choice; }
    // While the focus is inside `area` (an editable grid), its keys are its
    // own: the dialog does not see them first.
    void leaveKeysTo(QWidget* area) { ownKeys_.append(area); }
    // True when the user's language is not Thai.
    static bool english();

    // --- Building blocks ----------------------------------------------------
    // Buttons: search (not a tab stop), choose (OK) and cancel.
    QPushButton* searchButton(const QString& name, const QString& thai, const QString& english = QString());
    QPushButton* chooseButton(const QString& name, const QString& thai, const QString& english = QString());
    QPushButton* cancelButton(const QString& name, const QString& thai, const QString& english = QString());
    // The caption of `box`, which also names it for assistive technology.
    QLabel* boxLabel(QWidget* box, const QString& name, const QString& thai);
    // A text set at every show: English for a non-Thai user when there is one.
    void caption(QWidget* widget, const QString& thai, const QString& english = QString());
    // Grid widths are in characters; layouts give pixels.
    int charsFor(int pixels) const;

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    widgets::DbGrid* grid_ = nullptr;

private:
    struct Caption {
        QPointer<QWidget> widget;
        QString thai;
        QString english;
    };
    QPushButton* button(const QString& name, const QString& thai, const QString& english);
    bool gridHasFocus() const;
    bool handleKey(QKeyEvent* key);
    void titleClicked(const QString& field);
    bool isLargeObject(const QString& field) const;

    QVector<Caption> captions_;
    QVector<QPointer<QWidget>> ownKeys_;
    QPointer<QWidget> firstBox_;
    QPointer<QLineEdit> codeBox_;
    TitleSort* titleSort_ = nullptr;
    bool gridFocusAlways_ = false;
    bool doubleClickChooses_ = true;
    EmptyChoice emptyChoice_ = EmptyChoice::Cancel;
    bool filtering_ = false;
    bool keepFocus_ = false;
};

} // namespace search

#pragma once

#include "SearchDialog.h"

#include "db/Script.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace search {
class TitleSort;
}
namespace widgets {
struct CellStyle;
}

// The general look-up of documents and code tables: the caller puts a whole
// SELECT into QSearch, sets KeyField (and TableName for the delete gesture),
// shows the window and reads ResultValue after OK.
//
// Rows are coloured by their state: a "DelFlag" column marks cancelled
// documents red, else a "Clear" column settled ones blue, else an "Active"
// column unused records red. A cancelled document cannot be chosen (the
// window says so and stays open), but Ctrl+Shift with the right button on
// it deletes it for good, after two confirmations.
//
// Title clicks re-sort through one state shared by this window and every
// window derived from it, for the whole run.
class TFrSearch : public search::SearchDialog {
    Q_OBJECT
public:
    explicit TFrSearch(QWidget* parent = nullptr);

    static TFrSearch* instance();
    static search::TitleSort& SortState();

    QString TableName;   // where the listed documents live (delete gesture)
    QString KeyField;    // the column handed back
    QString ResultValue; // its value in the chosen row

    QFrame* PanelHeader = nullptr;
    QLineEdit* Code = nullptr;
    QPushButton* BtSearch = nullptr;
    QPushButton* BtOk = nullptr;
    QPushButton* BtCancel = nullptr;
    db::Script DelSQL;

protected:
    QStringList statement() override;
    void takeResult() override;
    void clearResult() override;
    void showStep() override;
    bool mayChoose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    widgets::CellStyle cellStyle(int row) const;
    bool isDeleteGesture(const QEvent* event) const;
    void deleteCancelledDocument();
    QString rowText(const QString& field) const;
};

// The run's one generic search window.
extern TFrSearch* FrSearch;

#pragma once

#include "search/TFrSearch.h"

class QFrame;
class QLabel;

// The open production orders that make one product, with their ordered,
// finished and outstanding quantities (in the product's small unit) and the
// three totals: TFrSearch turned into a read-only list. It fills itself when
// shown; its grid neither chooses, sorts, colours nor deletes, and Enter on
// it closes the window without handing anything back.
class TFrPreviewDetailMfg : public TFrSearch {
    Q_OBJECT
public:
    explicit TFrPreviewDetailMfg(QWidget* parent = nullptr);

    static TFrPreviewDetailMfg* instance();
    // A fresh window over `parent` for one product, shown modally and
    // deleted when it closes.
    static void showFor(const QString& productCode, QWidget* parent);

    QString DetailProductCode;  // upper-case

    QLabel* LbGetProdDesc = nullptr;
    QFrame* PanelBottom = nullptr;
    QLabel* LbSum01 = nullptr;
    QLabel* LbSum02 = nullptr;
    QLabel* LbSum03 = nullptr;
    db::Query QGetProdDesc;

protected:
    QStringList statement() override;
    void takeResult() override {}
    bool maySearch() override { return false; }
    void showStep() override;
    bool dialogKey(QKeyEvent* key) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    QString productUnit();
};

// The detail window start-up makes; the product search opens fresh ones.
extern TFrPreviewDetailMfg* FrPreviewDetailMfg;

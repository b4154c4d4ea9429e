#pragma once

#include "TFrSearch.h"

#include "search/ProductServiceStatement.h"

#include <functional>

class QAction;
class QButtonGroup;
class QComboBox;
class QMenu;
class QStatusBar;
class QToolButton;
class TFaSelectProdAttr;
class TKIdLookup;

namespace search {
class PicturePanel;
class ProductTypeGroup;
}

// The product and service search: TFrSearch with the product's own filters
// (type, kind, group, attribute ranges, name, sizes), a statement chosen by
// the company's "SearchProductNo" layout, a picture panel and, for the
// manufacturing layouts, the production-order detail of the chosen row.
//
// ResultValue is the chosen product's code. Every show starts afresh: the
// kind and group, the attribute ranges, the code box and the result are
// emptied, the name box shows the last name searched when the setup row's
// "ShowLastSearch" is "Y", and the picture panel is hidden. The size boxes
// keep their numbers from one opening to the next; they take numbers only.
// The type choice is fixed by ProductTypeFilter, or free when it is empty.
class TFrSearchProductService : public TFrSearch {
    Q_OBJECT
public:
    explicit TFrSearchProductService(QWidget* parent = nullptr);

    static TFrSearchProductService* instance();

    // A product type letter ("P", "B", "S", "M", "R", "A") fixing the type
    // choice, or empty to leave it free. Callers set it before each opening.
    QString ProductTypeFilter;
    bool IncludeBlocked = false;
    // What the product's "MasterCode" must be; empty means "N".
    QString MasterCodeFlag;
    QString PictureFolder;

    // Opens the production-order detail of one product over a parent window.
    // The preview windows sit above the search dialogs, so start-up hands the
    // opener in rather than this window reaching up for it.
    using ProductionDetailOpener = std::function<void(const QString& productCode, QWidget* parent)>;
    static void setProductionDetailOpener(ProductionDetailOpener opener);
    static const ProductionDetailOpener& productionDetailOpener();

    QFrame* PnAttr = nullptr;
    TFaSelectProdAttr* FaSelectProdAttr1 = nullptr;
    search::ProductTypeGroup* SelectProductType = nullptr;
    QButtonGroup* ProductTypeItems = nullptr;
    QComboBox* SearchMethod = nullptr;
    TKIdLookup* PType = nullptr;
    QLabel* PTypeDesc = nullptr;
    QToolButton* BtSearchPType = nullptr;
    QLabel* Name = nullptr;
    QLineEdit* ProductName = nullptr;
    QLineEdit* Size_W = nullptr;
    QLineEdit* Size_L = nullptr;
    QLineEdit* Size_H = nullptr;
    TKIdLookup* PGroup = nullptr;
    QLabel* PGroupDesc = nullptr;
    QToolButton* BtSearchPGroup = nullptr;
    search::PicturePanel* HidePanel = nullptr;
    QLabel* ProductImage = nullptr;
    QStatusBar* fcStatusBar1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;
    // The chosen kind's and group's "Misc" ids, one row each (0: none).
    db::Query MData;
    db::Query MData2;

    // N1: the production orders of the current row's product.
    void ShowProductionDetail();

protected:
    QStringList statement() override;
    void showStep() override;
    bool dialogKey(QKeyEvent* key) override;

private:
    void buildFilters();
    void buildLayout();
    void applyLayout(int number);
    void applyEnglish();
    void resetFilterRows();
    void fillNameBox();
    void reopenAttributes();
    void fixTypeChoice();
    void typeClicked(int item);
    void pickMisc(TKIdLookup* box, const QString& thai, const QString& english, const QString& group);
    void showPicture();
    void trimFigures();
    search::ProductTypeChoice typeChoice() const;

    int layoutNumber_ = 0;
};

// The run's one product and service search.
extern TFrSearchProductService* FrSearchProductService;

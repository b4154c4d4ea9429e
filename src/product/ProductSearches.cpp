// The product data module's search operations: each opens its look-up
// modally (made on first use) and takes what it handed back, which is empty
// after a cancel.

#include "TDmProduct.h"

#include "search/TF_SearchProduct.h"
#include "search/TF_SearchWareHouse.h"
#include "search/TFrSearchBarCode.h"
#include "search/TFrSearchLotNo.h"
#include "search/TFrSearchUnit.h"

#include <QDialog>

namespace {

// `handedBack` is the dialog's result field, read once the dialog has closed.
bool runSearch(QDialog& dialog, const QString& handedBack, QString& searchCode)
{
    const bool chosen = dialog.exec() == QDialog::Accepted;
    searchCode = handedBack;
    return chosen;
}

} // namespace

bool TDmProduct::SearchProduct()
{
    TF_SearchProduct* dialog = TF_SearchProduct::instance();
    return runSearch(*dialog, dialog->SelectedCode, SearchCode);
}

bool TDmProduct::SearchUnitName(int productId)
{
    TFrSearchUnit* dialog = TFrSearchUnit::instance();
    dialog->UnitProductId = productId;
    dialog->UnitForPurchase = true;
    dialog->UnitForSale = false;
    dialog->UnitForStock = false;
    dialog->UnitForSmall = false;
    return runSearch(*dialog, dialog->SelectedUnitName, SearchCode);
}

bool TDmProduct::SearchLotNo()
{
    TFrSearchLotNo* dialog = TFrSearchLotNo::instance();
    return runSearch(*dialog, dialog->SelectedCode, SearchCode);
}

bool TDmProduct::SearchWarehouse()
{
    TF_SearchWareHouse* dialog = TF_SearchWareHouse::instance();
    return runSearch(*dialog, dialog->SelectedCode, SearchCode);
}

bool TDmProduct::SearchProductBarCode()
{
    TFrSearchBarCode* dialog = TFrSearchBarCode::instance();
    return runSearch(*dialog, dialog->SelectedBarcode, SearchCode);
}

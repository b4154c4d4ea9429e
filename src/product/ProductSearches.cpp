// The product data module's search operations: each opens its look-up
// modally (made on first use) and takes what it handed back, which is empty
// after a cancel.

#include "TDmProduct.h"

#include "search/TFrSearchUnit.h"

#include <QDialog>

bool TDmProduct::SearchUnitName(int productId)
{
    TFrSearchUnit* dialog = TFrSearchUnit::instance();
    dialog->UnitProductId = productId;
    dialog->UnitForPurchase = true;
    dialog->UnitForSale = false;
    dialog->UnitForStock = false;
    dialog->UnitForSmall = false;
    const bool chosen = dialog->exec() == QDialog::Accepted;
    SearchCode = dialog->SelectedUnitName;
    return chosen;
}

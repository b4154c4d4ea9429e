// qel-search: opens one of the program's look-ups on the site in the
// current folder (the server in Server.Dat), as a user of a company, and
// prints what was chosen. For trying the look-ups by hand on the demo
// company, and for support staff checking a site's code tables.
//
//   qel-search DATABASE LOOK-UP [--user N]
//   qel-search --picture FILE    (the picture zoom window; no database)
//
// LOOK-UP: orders | invoices (the generic search over sales orders or
// invoices, with the permanent delete of cancelled ones), misc GROUP, customer,
// product, salesman, picker, warehouse [--unblocked] [--locations 0|1|2], lot,
// barcode, service [--type P|S|M|R|A] (the product and service search, in the
// company's layout: `qel-db ... query "update Config set SearchProductNo = 6"`
// switches it), detail PRODUCT (the open production orders of a product).

#include "app/QelApplication.h"
#include "config/ProgramEnd.h"
#include "config/TDMConfig.h"
#include "data/TDM.h"
#include "db/DbError.h"
#include "preview/TFrPreviewDetailMfg.h"
#include "preview/TFrPreviewTools.h"
#include "search/TF_SearchCustomer.h"
#include "search/TF_SearchMisc.h"
#include "search/TF_SearchProduct.h"
#include "search/TF_SearchSalesman.h"
#include "search/TF_SearchWareHouse.h"
#include "search/TFaGetSalesman.h"
#include "search/TFrSearch.h"
#include "search/TFrSearchBarCode.h"
#include "search/TFrSearchLotNo.h"
#include "search/TFrSearchProductService.h"
#include "widgets/GlobalWindows.h"
#include "widgets/TKIdLookup.h"

#include <QDialog>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cstdio>

namespace {

constexpr int kMenuEntry = 12;  // the price inquiry's rights apply

int usage()
{
    std::fprintf(stderr, "usage: qel-search DATABASE orders|invoices|misc GROUP|customer|product|salesman|picker|"
                         "warehouse [--unblocked] [--locations 0|1|2]|lot|barcode|service [--type P|S|M|R|A]|\n"
                         "       detail PRODUCT [--user N]\n"
                         "       qel-search --picture FILE\n");
    return 64;
}

int report(int result, const QString& value)
{
    std::printf("%s\n", result == QDialog::Accepted ? qPrintable(QStringLiteral("OK ") + value) : "Cancel");
    return result == QDialog::Accepted ? 0 : 1;
}

int generic(const QString& table, const QString& number, const QString& date)
{
    TFrSearch* look = TFrSearch::instance();
    look->QSearch.setSql({QStringLiteral("Select H.Id, H.%1, H.%2, C.Code, C.Name, H.Delflag, H.DelRemark, H.Clear")
                              .arg(number, date),
                          QStringLiteral("From %1 H Inner Join Customer C On C.Id = H.Customer").arg(table),
                          QStringLiteral("Order By H.%1").arg(number)});
    look->KeyField = number;
    look->TableName = table;
    return report(look->exec(), look->ResultValue);
}

int picker()
{
    // The picker lives in a window of its caller's; this one stands in.
    QDialog window;
    window.setWindowTitle(QStringLiteral("TFaGetSalesman"));
    auto* layout = new QVBoxLayout(&window);
    auto* frame = new TFaGetSalesman(&window);
    auto* next = new QLineEdit(&window);
    next->setAccessibleName(QStringLiteral("next"));
    layout->addWidget(frame);
    layout->addWidget(next);
    window.resize(460, 90);
    window.exec();
    return report(QDialog::Accepted, frame->Salesman->text());
}

int picture(const QString& file)
{
    // An unreadable file is reported when the window would show it.
    try {
        TFrPreviewTools::readPicture(file);
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    TFrPreviewTools* preview = TFrPreviewTools::instance();
    preview->PictureFile = file;
    preview->exec();
    widgets::destroyGlobalWindows();
    return 0;
}

int run(const QStringList& args)
{
    const QString lookUp = args.value(2);
    if (lookUp == QLatin1String("orders"))
        return generic(QStringLiteral("SoHd"), QStringLiteral("SoNo"), QStringLiteral("SoDate"));
    if (lookUp == QLatin1String("invoices"))
        return generic(QStringLiteral("IvHd"), QStringLiteral("IvNo"), QStringLiteral("IvDate"));
    if (lookUp == QLatin1String("misc") && args.size() > 3) {
        TF_SearchMisc* look = TF_SearchMisc::instance();
        look->MiscGroup = args.at(3).toUpper();
        look->setWindowTitle(QStringLiteral("ค้นหา ") + look->MiscGroup);
        const int result = look->exec();
        return report(result, look->SelectedCode + QLatin1Char(' ') + look->SelectedDescription);
    }
    if (lookUp == QLatin1String("customer")) {
        TF_SearchCustomer* look = TF_SearchCustomer::instance();
        const int result = look->exec();
        return report(result, look->SelectedCode + QLatin1Char(' ') + look->SelectedName);
    }
    if (lookUp == QLatin1String("product")) {
        TF_SearchProduct* look = TF_SearchProduct::instance();
        return report(look->exec(), look->SelectedCode);
    }
    if (lookUp == QLatin1String("salesman")) {
        TF_SearchSalesman* look = TF_SearchSalesman::instance();
        return report(look->exec(), look->SelectedCode);
    }
    if (lookUp == QLatin1String("picker"))
        return picker();
    if (lookUp == QLatin1String("warehouse")) {
        TF_SearchWareHouse* look = TF_SearchWareHouse::instance();
        look->WarehouseUnblockedOnly = args.contains(QStringLiteral("--unblocked"));
        const qsizetype at = args.indexOf(QStringLiteral("--locations"));
        look->WarehouseLocationFilter = at > 0 ? args.value(at + 1).toInt() : 0;
        return report(look->exec(), look->SelectedCode);
    }
    if (lookUp == QLatin1String("lot")) {
        TFrSearchLotNo* look = TFrSearchLotNo::instance();
        const int result = look->exec();
        return report(result, look->SelectedCode + QStringLiteral(" (id %1)").arg(look->SelectedLotId));
    }
    if (lookUp == QLatin1String("detail") && args.size() > 3) {
        TFrPreviewDetailMfg::showFor(args.at(3).toUpper(), nullptr);
        return 0;
    }
    if (lookUp == QLatin1String("barcode")) {
        TFrSearchBarCode* look = TFrSearchBarCode::instance();
        return report(look->exec(), look->SelectedBarcode);
    }
    if (lookUp == QLatin1String("service")) {
        TFrSearchProductService* look = TFrSearchProductService::instance();
        const qsizetype at = args.indexOf(QStringLiteral("--type"));
        look->ProductTypeFilter = at > 0 ? args.value(at + 1).toUpper() : QString();
        TFrSearchProductService::setProductionDetailOpener(&TFrPreviewDetailMfg::showFor);
        return report(look->exec(), look->ResultValue);
    }
    return usage();
}

} // namespace

int main(int argc, char** argv)
{
    QelApplication app(argc, argv);
    const QStringList args = app.arguments();
    app.setExceptionHandler([](const QString& message) { std::fprintf(stderr, "%s\n", qPrintable(message)); });
    if (args.size() == 3 && args.at(1) == QLatin1String("--picture"))
        return picture(args.at(2));
    if (args.size() < 3)
        return usage();
    const qsizetype userAt = args.indexOf(QStringLiteral("--user"));
    const int user = userAt > 0 ? args.value(userAt + 1).toInt() : 1;

    int status = 0;
    DMConfig = new TDMConfig;
    DM = new TDM;
    try {
        DMConfig->GetCompanyConfig(args.at(1));
        DM->setDatabaseArgument(args.at(1));
        DMConfig->CheckRight(kMenuEntry, user);
        status = run(args);
    } catch (const ProgramEnd& end) {
        status = end.exitCode;
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        status = 2;
    }
    widgets::destroyGlobalWindows();
    delete DM;
    delete DMConfig;
    return status;
}

#include "Startup.h"

#include "Automation.h"
#include "CommandLine.h"
#include "QelApplication.h"
#include "TFormLogo.h"

#include "config/ProgramEnd.h"
#include "config/TDMConfig.h"
#include "data/LockWaitNotice.h"
#include "data/TDM.h"
#include "db/DbError.h"
#include "data/TFrShowError.h"
#include "inquiry/TFrInquiryPrice.h"
#include "preview/TFrPreviewDetailMfg.h"
#include "preview/TFrPreviewTools.h"
#include "product/TDmProduct.h"
#include "search/TF_SearchCustomer.h"
#include "search/TF_SearchCustomerPos.h"
#include "search/TF_SearchMisc.h"
#include "search/TF_SearchProduct.h"
#include "search/TF_SearchProductUnits.h"
#include "search/TF_SearchSalesman.h"
#include "search/TF_SearchWareHouse.h"
#include "search/TFrSearch.h"
#include "search/TFrSearchBarCode.h"
#include "search/TFrSearchCusAttrCode.h"
#include "search/TFrSearchLotNo.h"
#include "search/TFrSearchProductService.h"
#include "search/TFrSearchUnit.h"
#include "widgets/GlobalWindows.h"
#include "widgets/MessageBox.h"

#include <QPointer>
#include <QTimer>

#include <cstdio>

namespace {

const QString kTitle = QStringLiteral("โปรแกรมสอบถามราคาทางโทรศัพท์");

// Errors before the message loop end the program with a message; they never
// crash it.
int startFailure(const QString& message, int exitCode)
{
    // Also on standard error, for whoever started the program from a script.
    if (widgets::messagesOnScreen())
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    widgets::showMessage(widgets::MessageKind::Error, message);
    return exitCode;
}

// The search and preview windows, each once through its global reference,
// in this order, after the data modules. Nothing is shown.
void createWindows()
{
    TFrSearch::instance();
    TF_SearchProductUnits::instance();
    TF_SearchCustomer::instance();
    TFrSearchCusAttrCode::instance();
    TF_SearchMisc::instance();
    TF_SearchSalesman::instance();
    TF_SearchProduct::instance();
    // TFrSearchProdAttrCode is made fresh for each use.
    TFrSearchUnit::instance();
    TFrSearchLotNo::instance();
    TF_SearchWareHouse::instance();
    TFrSearchBarCode::instance();
    TFrSearchProductService::instance();
    TFrPreviewTools::instance();
    widgets::globalWindow(FrShowError);
    TFrPreviewDetailMfg::instance();
    TFrSearchProductService::setProductionDetailOpener(&TFrPreviewDetailMfg::showFor);
    TF_SearchCustomerPos::instance();
}

void destroyGlobals()
{
    widgets::destroyGlobalWindows();
    delete FrInquiryPrice;
    FrInquiryPrice = nullptr;
    delete DmProduct;
    DmProduct = nullptr;
    delete DM;
    DM = nullptr;
    delete DMConfig;
    DMConfig = nullptr;
}

// The command line as given, program name first.
QStringList commandLine(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace

int runProgram(int argc, char** argv)
{
    // The arguments are read as the menu program gave them. The toolkit sees
    // only the program's name: it would take "-reverse" or "-platform" out
    // of the positional arguments (or stop the program on a bad one).
    const QStringList arguments = commandLine(argc, argv);
    int toolkitArgc = qMin(argc, 1);
    QelApplication app(toolkitArgc, argv);

    QPointer<TFormLogo> logo = new TFormLogo;
    logo->show();
    logo->repaint();
    QApplication::processEvents();

    QApplication::setApplicationName(QStringLiteral("priceinquiry"));
    QApplication::setApplicationDisplayName(kTitle);

    // Every window and data module, once, in this order; the main window first.
    FrInquiryPrice = new TFrInquiryPrice;
    DMConfig = new TDMConfig;
    DM = new TDM;
    DmProduct = new TDmProduct;
    createWindows();
    app.setExceptionHandler([](const QString& message) { DM->HandleException(message); });
    // Start-up waits for a locked database once, within one bound, and the
    // splash says for which.
    LockWaitNotice& lockWaits = DM->lockWaits();
    lockWaits.startSharedLimit(LockWaitNotice::kStartupLimit);
    lockWaits.setDisplay([&logo](const QString& text) {
        if (logo)
            logo->showStatus(text);
    });
    // The first connection to the business database ends the splash, and
    // with it start-up.
    DM->setAfterConnectHook([&logo, &lockWaits] {
        lockWaits.endSharedLimit();
        lockWaits.setDisplay({});
        if (logo)
            delete logo.data();
    });

    int exitCode = 0;
    try {
        RunContext& run = DMConfig->Run;
        run.WorkDate = toWorkDate(argumentAt(arguments, 6));
        run.MenuId = toInteger(argumentAt(arguments, 1));
        run.UserId = toInteger(argumentAt(arguments, 2));
        const QString database = argumentAt(arguments, 3);
        DMConfig->GetCompanyConfig(database);
        DM->setDatabaseArgument(database);
        DMConfig->CheckRight(run.MenuId, run.UserId);
        if (run.CanAccess) {
            // A test or an unattended run may ask for the window to close by itself.
            const int autoClose = qEnvironmentVariableIntValue("QEL_AUTOCLOSE_MS");
            if (autoClose > 0)
                QTimer::singleShot(autoClose, FrInquiryPrice, &QWidget::close);
            FrInquiryPrice->show();
            const QString screenshot = qEnvironmentVariable("QEL_SCREENSHOT");
            if (!screenshot.isEmpty())
                Automation::typeAndCapture(FrInquiryPrice, qEnvironmentVariable("QEL_TYPE"), screenshot);
            exitCode = app.exec();
        }
    } catch (const ProgramEnd& end) {
        exitCode = end.exitCode;
    } catch (const ConversionError& e) {
        exitCode = startFailure(e.message(), 1);
    } catch (const db::DbError& e) {
        const QString why = lockWaits.gaveUpOn().isEmpty()
            ? e.message()
            : lockWaits.gaveUpText() + QStringLiteral(" (") + e.message() + QLatin1Char(')');
        exitCode = startFailure(QStringLiteral("The program cannot start: ") + why, 2);
    }
    destroyGlobals();
    delete logo.data();
    return exitCode;
}

#pragma once

#include "db/Connection.h"
#include "db/Query.h"
#include "db/Script.h"
#include "db/StoredProc.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class LockWaitNotice;

// The main data module: the connection "DMDATA" to the company's business
// database with its setup row and accounting periods held open, the values
// windows hand to each other, the quantity text, the program-file version
// check, and the program-wide error handler.
class TDM : public QObject {
    Q_OBJECT
public:
    explicit TDM(QObject* parent = nullptr);
    ~TDM() override;

    db::Connection& connection() { return connection_; }

    // Command-line argument 3 as given (the business database's name).
    void setDatabaseArgument(const QString& argument) { databaseArgument_ = argument; }
    // Runs once after each connect, after the setup row is read (start-up
    // uses it to close the splash window).
    void setAfterConnectHook(std::function<void()> hook) { afterConnectHook_ = std::move(hook); }

    // How the run's statements wait for a database another program locked.
    LockWaitNotice& lockWaits() { return *lockWaits_; }

    // The parameter list of "DMDATA", as its before-connect step builds it.
    QStringList BusinessConnectionLines() const;

    QString BusinessDatabaseName;
    bool IvRefSO = false;
    bool MrRefPO = false;
    bool EditPricePO = false;
    bool ShowProductPriceList = false;
    QString LastProductSearch;
    QString LastCustomerSearch;

    // The setup row, opened first when a reader finds it closed.
    db::Query& Config();

    // A quantity counted in small units written in whole `unitId` units and
    // the small-unit rest, each with its name in the setup row's brackets.
    QString QuantityText(int unitId, double quantity);
    // The same for many quantities of one unit, with one look-up of the unit.
    QStringList QuantityTexts(int unitId, const QList<double>& quantities);

    // Registers `version` for the program file `programExe`; false (after a
    // message) when a newer copy is registered.
    bool CheckVersionProgramEXE(const QString& programExe, int version);
    // The program's own schema changes to the business database (guarded).
    void RunBusinessSchemaScript();

    // The program-wide error handler: logs the message unchanged, shows its
    // Thai reading in the error window, and lets the clerk mail it. Never
    // raises: a log that cannot be written is reported on standard error.
    void HandleException(const QString& message);

    // The statements of the module, by their names.
    db::Query QConfig;
    db::Query QAccountPeriod;
    db::Query QProvince;
    db::Query QTransport;
    db::Query QPriceLevel;
    db::Query QTax;
    db::Query QTaxRate;
    db::Query QSalesman;
    db::Query QUnitFraction;
    db::Query QStockUnitQnty;
    db::Query QNewId;
    db::Query QDocumentNo;
    db::Query QDocConvert;
    db::Query QAcID;
    db::Query QGetChkDigitBarcode;
    db::StoredProc SpNextDocNo;
    db::StoredProc SpAddLog;
    db::StoredProc SpServerTime;
    db::Script DelGL;

private:
    void beforeConnect();
    void afterConnect();

    db::Connection connection_;
    QString databaseArgument_;
    std::function<void()> afterConnectHook_;
    LockWaitNotice* lockWaits_ = nullptr;
};

// The run's one main data module.
extern TDM* DM;

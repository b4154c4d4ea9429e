#pragma once

#include <QDate>
#include <QString>

// The run-wide values every window and data module reads: what the command
// line gave, the company's configuration and the user's rights. Filled at
// start-up, read-only afterwards.
struct RunContext {
    // Command line.
    int MenuId = 0;
    int UserId = 0;
    QString DatabaseName;  // upper-cased
    QDate WorkDate;

    // Company configuration.
    int CompanyId = 0;
    QString CompanyName;
    QString PicturePath;
    int DefaultWarehouseId = 0;
    int DefaultTaxId = 0;
    int PosWarehouseId = 0;
    QString PosTaxCode;
    QString PosPriceIE;
    int PosPriceType = 0;
    bool PosSumDetail = false;
    QString PosComPort;
    QString CompanyHeaderName;
    QString CompanyAddressLine;
    QString CompanyTaxIdLine;
    bool SiteVpm = false;
    bool SiteVpmTest = false;
    bool SiteTsp = false;
    bool SiteNas = false;
    bool SiteTak = false;

    // Rights and user.
    QString MenuCaption;
    QString UserCode;
    int SalesmanId = 0;
    bool CanAccess = false;
    bool CanAdd = false;
    bool CanModify = false;
    bool CanDelete = false;
    QString UserFullName;
    bool ThaiLanguage = false;
    bool EditSalePrice = false;
    bool Approve_Quo = false;
    bool Approve_SO = false;
    bool Approve_IV = false;
    bool Approve_PO = false;
    bool Approved_PORQ = false;
    bool ApproveTranWH = false;
    bool ApproveTranBranch = false;
    bool ApproveWorkOrder = false;
    bool CanSeeCost = false;
    bool CanSeeSalePrice = false;
    bool CanModifyCusSale = false;
    bool Approve_PreIs = false;
    bool ApproveCustomerDropUse = false;
    bool ApproveCustomerDropCredit = false;
    bool CanModifyCredit = false;
    bool CanSetProductBlock = false;
    bool CanSetProductMinus = false;
    bool CanSaleCreditOnReturnCheque = false;
    QString SavePrompt;
    QString DeletePrompt;
    QString ExitPrompt;
};

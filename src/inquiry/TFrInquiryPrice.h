#pragma once

#include "db/Query.h"

#include <QDialog>
#include <QHash>
#include <QPixmap>
#include <QString>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolButton;
class QWidget;

namespace widgets {
class DbGrid;
class Light;
}

// The program's main window: the clerk's telephone price inquiry. A customer
// code and a product code bring up the product's units, the selected unit's
// prices with the customer's own price, the stock of every warehouse, the
// last purchase price, the sales history and the pictures; products can be
// collected into an offer list that prints.
class TFrInquiryPrice : public QDialog {
    Q_OBJECT
public:
    explicit TFrInquiryPrice(QWidget* parent = nullptr);
    ~TFrInquiryPrice() override;

    // The folder of product pictures (the setup row's PicturePath) and the
    // folder that holds "NoPicture.Bmp" and "Form_ChkPrice.frf".
    static QString PictureFolder;
    static QString StartFolder;

    // What showing the window does: reconnect the business database, take
    // the picture and start folders, and start a new inquiry.
    void ShowStep();
    void ResetInquiry();
    void LookUpCustomer();
    void SearchCustomer();    // BtSearchCustomer, F5 in GetCustomerCode
    void SearchProduct();     // BtSearchProduct, F5 in GetProductCode
    void LoadProduct();
    void RecalcOfferTotals();
    void AddOfferLine();      // BtAdd, F7
    void DeleteOfferLine();   // pop-up item N1
    void PrintOffer();        // BtSave, F10
    void LoadHistory();       // the history tab's show step
    void BlinkLights();       // Timer1
    void SetGridColumnsUnits();
    void SetGridColumnsHistory();

    bool keyPreview() const { return keyPreview_; }

    // Statements and the in-memory offer list, by their names.
    db::Query QCustomer;
    db::Query QProduct;
    db::Query QUnits;
    db::Query QPrice;
    db::Query QLastMr;
    db::Query Qonhand;
    db::Query QHistory;
    db::Query QStockUnit;
    db::Query QDemoSo;

    // Controls, by their names.
    QFrame* Panel1 = nullptr;
    QLineEdit* GetCustomerCode = nullptr;
    QToolButton* BtSearchCustomer = nullptr;
    QLabel* CustomerName = nullptr;
    QLineEdit* GetProductCode = nullptr;
    QToolButton* BtSearchProduct = nullptr;
    QLabel* ProductName = nullptr;
    QFrame* Panel11 = nullptr;
    QPushButton* BtNew = nullptr;
    QPushButton* BtExec = nullptr;
    QPushButton* BtAdd = nullptr;
    QFrame* Panel2 = nullptr;
    QTabWidget* PageCtrl = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QFrame* Panel5 = nullptr;
    widgets::Light* Light1 = nullptr;
    widgets::Light* Light2 = nullptr;
    widgets::Light* Light4 = nullptr;
    widgets::Light* Light5 = nullptr;
    widgets::DbGrid* DgOnhand = nullptr;
    widgets::DbGrid* DgUnits = nullptr;
    widgets::DbGrid* DgPrice = nullptr;
    widgets::DbGrid* DgHistory = nullptr;
    widgets::DbGrid* DgSoDt = nullptr;
    QLabel* Pic1 = nullptr;
    QLabel* Pic2 = nullptr;
    QLabel* Pic3 = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* LastMrPrice = nullptr;
    QLabel* MrDateText = nullptr;
    QPushButton* BtSave = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildLayout();
    void watchGridFocus(widgets::DbGrid* grid);
    void setOfferColumns(bool withPrices);
    void buildStatements();
    QFrame* panelHeader(const QString& caption, widgets::Light* light, QWidget* parent);
    void openDetail(db::Query& detail);
    void lookUpCustomerRow();
    void loadProductPanels();
    void fillProductPanels();  // the queries and texts, each grid fitted once
    void forgetProduct();
    void loadPlaceholderPictures();
    void loadPictures();
    void fitPanelsToGrids();
    void fillLastPurchasePrice();
    void fillOnhandTexts();
    bool handleWindowKey(QKeyEvent* key);
    void refuseOfferEntry(const QString& field, const QString& typed);
    QLabel* pictureAt(int index) const;

    bool keyPreview_ = true;
    QString brokenPlaceholder_;  // the placeholder picture already reported as unreadable
    QString placeholderPath_;  // the placeholder picture decoded once, and where from
    QPixmap placeholder_;
    QHash<const QWidget*, QSize> panelHints_;  // each grid's size when its panel last followed it
    bool quantityPriceRecalc_ = true;
};

// The run's one main window.
extern TFrInquiryPrice* FrInquiryPrice;

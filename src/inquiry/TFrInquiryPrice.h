#pragma once

#include <QDialog>
#include <QString>

// The program's main window: the clerk's telephone price inquiry.
class TFrInquiryPrice : public QDialog {
    Q_OBJECT
public:
    explicit TFrInquiryPrice(QWidget* parent = nullptr);

    // The folder of product pictures (the setup row's PicturePath) and the
    // folder that holds "NoPicture.Bmp" and "Form_ChkPrice.frf".
    static QString PictureFolder;
    static QString StartFolder;

    // What showing the window does: reconnect the business database, take
    // the picture and start folders, and start a new inquiry.
    void ShowStep();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

// The run's one main window.
extern TFrInquiryPrice* FrInquiryPrice;

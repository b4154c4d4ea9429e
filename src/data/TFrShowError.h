#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// The small red error window: shows the translated message, closes by itself
// on the ninth tick of its one-second timer, or mails the report when the
// clerk presses "Send Error". One window per error.
class TFrShowError : public QDialog {
    Q_OBJECT
public:
    explicit TFrShowError(QWidget* parent = nullptr);

    QString ErrorText;

    // Shared by every error window of the run.
    static bool SentFlag;
    static int Countdown;

    QPlainTextEdit* ErrorBox = nullptr;
    QPushButton* BOk = nullptr;
    QPushButton* BCancel = nullptr;
    QLabel* TimeCount = nullptr;
    QTimer* Timer1 = nullptr;

    // The report's mail subject and body for the current run context.
    static QString MailSubject();
    static QString MailBody(const QString& errorText);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void tick();
    void sendError();
    void dontSend();
};

// The run's instance, made at start-up with the other windows. The error
// handler shows a fresh window for each error, so this one is never shown.
extern TFrShowError* FrShowError;

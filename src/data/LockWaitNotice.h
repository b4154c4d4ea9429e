#pragma once

#include "db/LockWait.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>

class QLabel;
class QWidget;
class QTimer;

// The program's waits for a database that another program has locked.
// While a statement waits, the windows keep painting and a notice says
// which database the program is waiting for; the clerk's keys and clicks
// wait until the statement is done, so that no second statement starts in
// the middle of the first, and a window closed meanwhile closes once the
// statement is done. Each wait lasts at most limit(); during start-up
// all waits together share one bound instead.
//
// Installed for the thread's statements while it lives.
class LockWaitNotice : public QObject, public db::LockWaiter {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kWaitLimit{10000};
    static constexpr std::chrono::milliseconds kStartupLimit{15000};

    explicit LockWaitNotice(QObject* parent = nullptr);
    ~LockWaitNotice() override;

    std::chrono::milliseconds limit() const { return limit_; }
    void setLimit(std::chrono::milliseconds limit) { limit_ = limit; }

    // From now on every wait counts against `total`; once it is spent, a
    // lock fails its statement at once. endSharedLimit() goes back to one
    // limit() per wait.
    void startSharedLimit(std::chrono::milliseconds total);
    void endSharedLimit();

    // Where the notice goes (the splash window during start-up); an empty
    // text ends it. Without one, a small window of its own shows it.
    void setDisplay(std::function<void(const QString&)> display) { display_ = std::move(display); }

    // The database the program last gave up waiting for, with the whole
    // time waited; empty while it has never given up.
    QString gaveUpOn() const { return gaveUpOn_; }
    // "... QEL_CONFIG is locked by another program; waited 15 seconds ..."
    QString gaveUpText() const;
    // How often it has given up: a caller that sees the count change across
    // a statement knows why the statement failed.
    int giveUps() const { return giveUps_; }

    bool keepWaiting(const QString& database, std::chrono::milliseconds waited) override;

    static QString waitingText(const QString& database, std::chrono::milliseconds waited);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show(const QString& text);
    void hide();
    void startWaiting();
    void endWaiting();
    void closeDeferredWindows();

    db::LockWaiter* previous_ = nullptr;
    std::chrono::milliseconds limit_ = kWaitLimit;
    std::chrono::milliseconds sharedLimit_{0};  // 0: none
    std::chrono::milliseconds spentBefore_{0};  // by earlier waits under the shared limit
    std::chrono::milliseconds lastWaited_{0};
    QString gaveUpOn_;
    std::chrono::milliseconds gaveUpAfter_{0};
    int giveUps_ = 0;
    std::function<void(const QString&)> display_;
    QPointer<QLabel> window_;
    QTimer* ended_ = nullptr;  // fires once no statement has asked for a while
    bool waiting_ = false;
    QList<QPointer<QWidget>> closeLater_;  // windows closed during the wait
};

#include "LockWaitNotice.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include <utility>

namespace {

using namespace std::chrono_literals;

// A lock let go within this time is not worth a word.
constexpr std::chrono::milliseconds kQuietWait = 300ms;

qint64 wholeSeconds(std::chrono::milliseconds time)
{
    return std::chrono::duration_cast<std::chrono::seconds>(time + 500ms).count();
}

} // namespace

LockWaitNotice::LockWaitNotice(QObject* parent) : QObject(parent), previous_(db::setLockWaiter(this))
{
    ended_ = new QTimer(this);
    ended_->setSingleShot(true);
    ended_->setInterval(200);
    connect(ended_, &QTimer::timeout, this, &LockWaitNotice::endWaiting);
}

LockWaitNotice::~LockWaitNotice()
{
    if (waiting_)
        QCoreApplication::instance()->removeEventFilter(this);
    db::setLockWaiter(previous_);
    delete window_.data();
}

void LockWaitNotice::startSharedLimit(std::chrono::milliseconds total)
{
    sharedLimit_ = total;
    spentBefore_ = 0ms;
    lastWaited_ = 0ms;
}

void LockWaitNotice::endSharedLimit()
{
    sharedLimit_ = 0ms;
}

QString LockWaitNotice::waitingText(const QString& database, std::chrono::milliseconds waited)
{
    return QStringLiteral("รอฐานข้อมูล %1 ที่โปรแกรมอื่นล็อกไว้ %2 วินาที\n"
                          "Waiting for %1, locked by another program")
        .arg(database)
        .arg(wholeSeconds(waited));
}

QString LockWaitNotice::gaveUpText() const
{
    return QStringLiteral("the database %1 is locked by another program; waited %2 seconds for it. "
                          "Try again when that program has finished.")
        .arg(gaveUpOn_)
        .arg(wholeSeconds(gaveUpAfter_));
}

bool LockWaitNotice::keepWaiting(const QString& database, std::chrono::milliseconds waited)
{
    // A wait shorter than the last one seen is a new one.
    if (waited < lastWaited_)
        spentBefore_ += lastWaited_;
    lastWaited_ = waited;

    const bool shared = sharedLimit_ > 0ms;
    const std::chrono::milliseconds spent = shared ? spentBefore_ + waited : waited;
    if (spent >= (shared ? sharedLimit_ : limit_)) {
        gaveUpOn_ = database;
        gaveUpAfter_ = spent;
        ++giveUps_;
        // The time is spent: later waits under the shared limit give up at once.
        spentBefore_ = spent;
        lastWaited_ = 0ms;
        endWaiting();
        return false;
    }
    startWaiting();
    if (waited >= kQuietWait)
        show(waitingText(database, waited));
    ended_->start();
    // Paint and let timers run; input waits for the statement.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
}

void LockWaitNotice::show(const QString& text)
{
    if (display_) {
        display_(text);
        return;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (!window_) {
        window_ = new QLabel;
        window_->setObjectName(QStringLiteral("LockWaitNotice"));
        window_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        window_->setMargin(12);
        window_->setStyleSheet(QStringLiteral("QLabel { background: #fff8c0; border: 1px solid #806000; }"));
        window_->setAccessibleName(QStringLiteral("Waiting for a database"));
    }
    window_->setText(text);
    window_->adjustSize();
    // Over the window the clerk is looking at, else mid-screen.
    const QWidget* anchor = QApplication::activeWindow();
    const QRect area = anchor ? anchor->frameGeometry()
                              : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                                  : QRect(0, 0, 800, 600));
    window_->move(area.center() - window_->rect().center());
    window_->show();
    window_->raise();
}

void LockWaitNotice::hide()
{
    ended_->stop();
    if (display_)
        display_(QString());
    else if (window_)
        window_->hide();
}

void LockWaitNotice::startWaiting()
{
    if (waiting_ || !QCoreApplication::instance())
        return;
    waiting_ = true;
    QCoreApplication::instance()->installEventFilter(this);
}

void LockWaitNotice::endWaiting()
{
    hide();
    if (!waiting_)
        return;
    waiting_ = false;
    QCoreApplication::instance()->removeEventFilter(this);
    // From the event loop: this may still be inside the statement that gave up.
    if (!closeLater_.isEmpty())
        QTimer::singleShot(0, this, &LockWaitNotice::closeDeferredWindows);
}

void LockWaitNotice::closeDeferredWindows()
{
    if (waiting_)
        return;  // the next wait's end tries again
    const QList<QPointer<QWidget>> windows = std::exchange(closeLater_, {});
    for (const QPointer<QWidget>& window : windows) {
        if (window)
            window->close();
    }
}

bool LockWaitNotice::eventFilter(QObject* watched, QEvent* event)
{
    // Closing a window closes its connections, which must not happen under
    // a statement that is waiting: the window closes after it.
    if (waiting_ && event->type() == QEvent::Close && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->isWindow() && watched != window_) {
        closeLater_.append(static_cast<QWidget*>(watched));
        event->ignore();
        return true;
    }
    return false;
}

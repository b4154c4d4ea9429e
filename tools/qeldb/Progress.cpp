#include "Progress.h"

#include <QFileDevice>
#include <QIODevice>
#include <QLocale>

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

namespace qeldb {

namespace {

// Redraws at most this often: a bar drawn for every row of a copy would
// cost more than the copy.
constexpr qint64 kRedrawMs = 100;

QString count(qint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

QString duration(qint64 ms)
{
    const qint64 s = (ms + 999) / 1000;
    if (s >= 3600)
        return QStringLiteral("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, QLatin1Char('0')).arg(s % 60, 2, 10,
                                                                                                       QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

int terminalWidth(const QIODevice& device)
{
    const auto* file = qobject_cast<const QFileDevice*>(&device);
    winsize size{};
    if (file && ::ioctl(file->handle(), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace

Progress::Progress(QIODevice& device, bool enabled) : device_(device), enabled_(enabled) {}

Progress::~Progress()
{
    finish();
}

bool Progress::onTerminal(const QIODevice& device)
{
    if (!qEnvironmentVariableIsEmpty("CI") || qEnvironmentVariable("TERM") == QLatin1String("dumb"))
        return false;
    const auto* file = qobject_cast<const QFileDevice*>(&device);
    return file && file->handle() >= 0 && ::isatty(file->handle());
}

QString Progress::frame(const QString& label, qint64 done, qint64 total, qint64 elapsedMs, int width)
{
    QString counts = total > 0 ? QStringLiteral("%1/%2").arg(count(std::min(done, total)), count(total)) : count(done);
    if (total > 0 && done > 0 && done < total && elapsedMs >= 1000)
        counts += QStringLiteral("  %1 left").arg(duration(elapsedMs * (total - done) / done));
    // The label gives way first, the bar keeps at least ten cells.
    constexpr int kBarCells = 30;
    const int fixed = int(counts.size()) + 6;  // "  [" "]  " around the bar
    int cells = std::clamp(width - fixed - int(label.size()), 10, kBarCells);
    QString name = label;
    const int room = width - fixed - cells;
    if (name.size() > room)
        name = room > 3 ? name.left(room - 3) + QStringLiteral("...") : QString();
    QString bar(cells, QLatin1Char('.'));
    if (total > 0) {
        const int filled = int(std::min(done, total) * cells / total);
        bar.replace(0, filled, QString(filled, QLatin1Char('#')));
    }
    return QStringLiteral("%1  [%2]  %3").arg(name, bar, counts).left(width);
}

void Progress::start(const QString& label, qint64 total)
{
    label_ = label;
    total_ = total;
    done_ = 0;
    clock_.start();
    lastDrawMs_ = -1;
    draw(true);
}

void Progress::setLabel(const QString& label)
{
    label_ = label;
    draw(true);
}

void Progress::advance(qint64 steps)
{
    done_ += steps;
    draw(done_ >= total_ && total_ > 0);
}

void Progress::draw(bool force)
{
    if (!enabled_)
        return;
    const qint64 now = clock_.isValid() ? clock_.elapsed() : 0;
    if (!force && lastDrawMs_ >= 0 && now - lastDrawMs_ < kRedrawMs)
        return;
    lastDrawMs_ = now;
    // One column short of the edge: a full line would wrap on some terminals.
    const QString text = frame(label_, done_, total_, now, terminalWidth(device_) - 1);
    QString line = QLatin1Char('\r') + text;
    if (text.size() < lastWidth_)
        line += QString(lastWidth_ - int(text.size()), QLatin1Char(' '));
    lastWidth_ = int(text.size());
    device_.write(line.toUtf8());
    shown_ = true;
}

void Progress::clearLine()
{
    if (!enabled_ || !shown_)
        return;
    device_.write((QLatin1Char('\r') + QString(lastWidth_, QLatin1Char(' ')) + QLatin1Char('\r')).toUtf8());
    shown_ = false;
    lastWidth_ = 0;
    lastDrawMs_ = -1;
}

void Progress::finish()
{
    clearLine();
}

} // namespace qeldb

#pragma once

// A progress bar for qel-db's long jobs: what is being done, a bar, the
// counts and the time left, redrawn in place on one line of a terminal.
// Anywhere else (a pipe, a file, a CI log) it writes nothing at all, so that
// logs keep only the plain lines the commands print themselves.

#include <QElapsedTimer>
#include <QString>

class QIODevice;

namespace qeldb {

class Progress {
public:
    // Draws on `device` only when `enabled`; see onTerminal().
    Progress(QIODevice& device, bool enabled);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Whether a bar belongs on `device`: it is a terminal, and neither a CI
    // run (CI set) nor a dumb terminal asks for plain output.
    static bool onTerminal(const QIODevice& device);

    bool enabled() const { return enabled_; }

    // Begins a job of `total` steps (0: unknown) and draws it.
    void start(const QString& label, qint64 total);
    void setLabel(const QString& label);
    void advance(qint64 steps = 1);
    // Removes the bar; the line is left empty for what follows.
    void finish();
    // Removes the bar for a line of ordinary output; the next step redraws it.
    void clearLine();

    // One frame of the bar, `width` characters at most:
    //   "label  [#######.........]  1,234/5,678  0:42 left"
    // The time left is the time so far scaled by what remains; it is left
    // out until a step is done and the job has run for a second.
    static QString frame(const QString& label, qint64 done, qint64 total, qint64 elapsedMs, int width);

private:
    void draw(bool force);

    QIODevice& device_;
    bool enabled_;
    bool shown_ = false;
    QString label_;
    qint64 done_ = 0;
    qint64 total_ = 0;
    QElapsedTimer clock_;
    qint64 lastDrawMs_ = -1;
    int lastWidth_ = 0;
};

} // namespace qeldb

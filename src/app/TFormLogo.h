#pragma once

#include <QWidget>

class QLabel;

// The splash window shown while the program loads: borderless, blue, the
// logo picture stretched over it, centred on the screen. A line at its foot
// says what start-up is waiting for, when it waits.
class TFormLogo : public QWidget {
    Q_OBJECT
public:
    explicit TFormLogo(QWidget* parent = nullptr);

    // Empty text hides the line.
    void showStatus(const QString& text);
    QString status() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QLabel* status_ = nullptr;
};

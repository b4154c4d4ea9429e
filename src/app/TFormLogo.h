#pragma once

#include <QWidget>

// The splash window shown while the program loads: borderless, blue, the
// logo picture stretched over it, centred on the screen.
class TFormLogo : public QWidget {
    Q_OBJECT
public:
    explicit TFormLogo(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

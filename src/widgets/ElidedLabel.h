#pragma once

#include <QLabel>

namespace widgets {

// A one-line label that gives way to its neighbours: a text too long for
// the room it has ends in "…", and its tooltip then holds the whole text.
// text() is always the whole text, for the program and for screen readers.
class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);

    bool isElided() const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QString shownText() const;
};

} // namespace widgets

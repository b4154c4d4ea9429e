#pragma once

#include <QFrame>

class QHBoxLayout;
class QLabel;
class QToolButton;
class TKIdLookup;

namespace search {

// What the code pickers embedded in search windows share: a caption, a
// lookup code box with the found name beside it, and a flat search button
// that works while the box has the focus; F5 in the box is the button.
// A picker states its table, its look-up and what leaving the box checks.
class PickerFrame : public QFrame {
    Q_OBJECT
public:
    TKIdLookup* box() const { return box_; }

protected:
    PickerFrame(const QString& caption, const QString& boxName, int boxWidth, const QString& hint,
                QWidget* parent = nullptr);

    // The button and F5: open the picker's look-up.
    virtual void pick() = 0;
    // The box lost the focus (to another control or window).
    virtual void left() {}
    // Puts a chosen code into the box and the focus back into it.
    void takeCode(const QString& code);

    bool eventFilter(QObject* watched, QEvent* event) override;

    QLabel* caption_ = nullptr;
    TKIdLookup* box_ = nullptr;
    QLabel* name_ = nullptr;
    QToolButton* button_ = nullptr;
    QHBoxLayout* row_ = nullptr;
};

} // namespace search

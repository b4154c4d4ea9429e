#pragma once

#include <QFrame>

class QHBoxLayout;
class QLabel;
class QToolButton;
class TKIdLookup;

namespace search {

// What the code pickers share: a code box over a code table with the row's
// description in a label beside it, and a flat search button that works
// only while the box has the focus; F5 in the box acts as the button. The
// frame lays out caption, box, button and description; a picker states its
// table, its search and what leaving the box means.
class PickerFrame : public QFrame {
    Q_OBJECT
public:
    TKIdLookup* box() const { return box_; }
    QToolButton* button() const { return button_; }

protected:
    // The object names and texts of a picker's parts.
    struct Parts {
        QString frame;
        QString caption;
        QString captionText;  // also names the box for assistive technology
        QString box;
        int boxWidth;
        QString description;
        QString button;
        QString hint;         // the button's
    };
    PickerFrame(QWidget* parent, const Parts& parts);
    // Something shown between the caption and the box (a mark).
    void addMark(QWidget* mark);

    // The button and F5: the picker's look-up; a choice lands in the box.
    virtual void searchCode() = 0;
    // The box lost the focus.
    virtual void leaveBox() {}

    bool eventFilter(QObject* watched, QEvent* event) override;

    QLabel* caption_ = nullptr;
    TKIdLookup* box_ = nullptr;
    QLabel* description_ = nullptr;
    QToolButton* button_ = nullptr;

private:
    QHBoxLayout* row_ = nullptr;
};

} // namespace search

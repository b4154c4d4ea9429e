#pragma once

#include <QFrame>

class QLabel;

namespace search {

// The picture panel beside a search's result grid: the title "Image
// Preview" over one stretched picture. A stored name under four characters
// or a file that is not there shows no picture, and says nothing.
class PicturePanel : public QFrame {
    Q_OBJECT
public:
    explicit PicturePanel(QWidget* parent = nullptr);

    QLabel* image() const { return image_; }

    // The picture stored as `storedName`, found at `file`.
    void showPicture(const QString& storedName, const QString& file);

private:
    QLabel* image_ = nullptr;
};

} // namespace search

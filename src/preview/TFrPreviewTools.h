#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QProgressBar;
class QScrollArea;
class QStatusBar;
class QToolButton;

// One picture file, made smaller or larger in steps of 100 pixels and back
// to the size it had when shown. Every step draws the picture again from the
// file, so zooming back and forth never blurs it. Never smaller than it was
// first shown: that size is the floor.
//
// A caller sets PictureFile and shows the window; each show reads the file
// and its starting size afresh. A file that cannot be read is an error for
// the application's handler.
class TFrPreviewTools : public QDialog {
    Q_OBJECT
public:
    explicit TFrPreviewTools(QWidget* parent = nullptr);

    static TFrPreviewTools* instance();

    // The picture as the file holds it, in the format its extension names.
    static QImage readPicture(const QString& path);

    QString PictureFile;
    int StartWidth = 0;
    int StartHeight = 0;

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Image1 = nullptr;
    QToolButton* BtZoomIn = nullptr;
    QToolButton* BtZoomOut = nullptr;
    QToolButton* BtReset = nullptr;
    QToolButton* BtClose = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QProgressBar* Gauge1 = nullptr;

    QSize pictureSize() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QToolButton* toolButton(const QString& name, const QString& caption, const QString& hint, int glyph);
    void buildStatusBar();
    void showStep();
    void zoomIn();
    void zoomOut();
    void redraw(int width, int height);
    void fillGauge();

    QScrollArea* scroll_ = nullptr;
};

// The run's one picture preview.
extern TFrPreviewTools* FrPreviewTools;

#pragma once

// A picture area: a background colour with an optional picture drawn at its
// top-left corner, unscaled. Child widgets (the video, the strip) sit on top.

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace snapwire {

class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    QColor BackColor() const { return backColor_; }
    void SetBackColor(const QColor& color);

    // The picture shown, whether it was set as a pixmap or as an image.
    QPixmap Picture() const;
    void SetPicture(const QPixmap& picture);  // a null pixmap clears it
    // Shows the image as it is, with no pixmap made of it: the box shares the image's
    // pixels until the image changes.
    void SetImage(const QImage& image);
    // Loads a BMP, GIF, JPEG or PNG file as the picture; false (picture unchanged)
    // when the file cannot be read as a picture.
    bool LoadPicture(const QString& path);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor backColor_;
    QPixmap picture_;
    QImage image_;  // shown in place of picture_ when set
};

}  // namespace snapwire

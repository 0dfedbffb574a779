#pragma once

// The last-picture window: the picture of the last completed upload cycle, as it
// was saved for upload, under the cycle's timestamp text. It is refreshed after
// every cycle whether shown or not, and only hides when closed.

#include <QImage>
#include <QWidget>

class QAction;
class QMenu;

namespace snapwire {

class frmLast : public QWidget {
  public:
    frmLast();
    ~frmLast() override;

    void Form_Load();

    QMenu* mnuPopup = nullptr;  // pops up at the pointer; not a menu bar
    QAction* mnuPAlwaysOnTop = nullptr;

    void mnuPAlwaysOnTop_Click();
    void Form_MouseDown(Qt::MouseButton button, const QPoint& globalPos);

    // The refresh after an upload cycle: loads the picture file, takes `caption`
    // and sizes the window to the picture, strip and all. A file that cannot be
    // loaded changes nothing and gives false. It never shows the window.
    bool ShowLastPicture(const QString& picturePath, const QString& caption);

    const QImage& Picture() const { return picture_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QImage picture_;
};

namespace forms {
snapwire::frmLast& frmLast();
}  // namespace forms

}  // namespace snapwire

#pragma once

// The last-picture window: the picture of the last completed upload cycle, as it
// was saved for upload, under the cycle's timestamp text. It is refreshed after
// every cycle whether shown or not, and only hides when closed.

#include <QByteArray>
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

    // Decoded from the loaded file when first asked for or painted: most refreshes
    // happen while the window is hidden and are never looked at.
    const QImage& Picture() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QByteArray pictureFile_;  // the picture file's bytes, as the refresh loaded them
    mutable QImage picture_;  // pictureFile_ decoded, once asked for
};

namespace forms {
snapwire::frmLast& frmLast();
}  // namespace forms

}  // namespace snapwire

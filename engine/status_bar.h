#pragma once

// The main window's status bar: two panels, each with a text and an optional
// small picture. Panel 1 tells the schedule or the state, panel 2 the frame size
// or the motion report.

#include <QFrame>
#include <QPixmap>
#include <QString>

class QLabel;

namespace snapwire {

class StatusBar : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kHeight = 21;  // the window's layout counts on it

    explicit StatusBar(QWidget* parent = nullptr);

    // Panels are counted from 1.
    QString PanelText(int panel) const;
    void SetPanelText(int panel, const QString& text);
    void SetPanelPicture(int panel, const QPixmap& picture);  // a null pixmap removes it
    bool PanelHasPicture(int panel) const;

  private:
    QLabel* PanelIcon(int panel) const;
    QLabel* PanelLabel(int panel) const;

    QLabel* icon1_ = nullptr;
    QLabel* text1_ = nullptr;
    QLabel* icon2_ = nullptr;
    QLabel* text2_ = nullptr;
};

}  // namespace snapwire

#pragma once

// The main window's toolbar: eleven buttons (three of them separators), known by
// their position from 1 and by their key. Button 5 stays pressed; button 9 has a
// drop-down list of the capture driver's dialogs. A mouse button pressed anywhere
// on the toolbar is reported (the right button opens the toolbar's popup menu).

#include <QString>
#include <QToolBar>
#include <vector>

class QMenu;

namespace snapwire {

class MainToolbar : public QToolBar {
    Q_OBJECT
  public:
    static constexpr int kButtonCount = 11;
    static constexpr int kHeight = 24;  // the window's layout counts on it

    explicit MainToolbar(QWidget* parent = nullptr);

    // Button `index` (1 to 11), a separator at 3, 6 and 10.
    QAction* Buttons(int index) const;
    // The button with this key (exact, case-sensitive), or null.
    QAction* ButtonByKey(const QString& key) const;
    static QString Key(const QAction* buttonOrMenuItem);
    // The drop-down item of button 9 with this key, or null.
    QAction* ButtonMenuByKey(const QString& key) const;

    // Shown state of a button as its own property (whether or not the toolbar or
    // the window is on screen).
    bool ButtonVisible(int index) const;
    void SetButtonVisible(int index, bool visible);

  Q_SIGNALS:
    void ButtonClick(QAction* button);
    void ButtonMenuClick(QAction* buttonMenu);
    void MouseDown(int button);  // 1 = left, 2 = right, 4 = middle

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QAction* AddButton(const QString& key, const QString& tooltip, const QIcon& icon);
    QAction* AddSeparatorButton();
    void AddCameraDropDown(QAction* camera);

    std::vector<QAction*> buttons_;  // index 0 is button 1
    QMenu* cameraMenu_ = nullptr;
};

}  // namespace snapwire

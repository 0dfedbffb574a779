#pragma once

// The movie frame-rate dialog. Its slider is the frame rate that the next movie
// capture uses; OK also stores it. Loaded once, then only hidden; it has no Cancel
// button and no close box.

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QSlider;

namespace snapwire {

class movieframerate : public QDialog {
    Q_OBJECT
  public:
    movieframerate();
    ~movieframerate() override;

    void Form_Load();

    QGroupBox* frameMovie = nullptr;
    QLineEdit* txtFrameRate = nullptr;
    QSlider* sldFrameRate = nullptr;  // 1 .. 100 frames a second
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* cmdHelp = nullptr;

    void sldFrameRate_Change();
    void txtFrameRate_Change();
    void Command1_Click();
    void cmdHelp_Click();
};

namespace forms {
snapwire::movieframerate& movieframerate();
}  // namespace forms

}  // namespace snapwire

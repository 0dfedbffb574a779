#pragma once

// A small picture box of the upload settings window: a background colour, an
// optional line of text printed at its top-left corner in its own font and text
// colour, and a click. The timestamp sample strip and the motion colour sample are
// such boxes; their colours and font are part of the account's settings while the
// account is loaded, so they live here rather than in the registry.

#include <QFrame>
#include <QString>
#include <cstdint>

namespace snapwire::accounts {

class PictureSample : public QFrame {
    Q_OBJECT
  public:
    explicit PictureSample(QWidget* parent = nullptr);

    // Colours are 0x00BBGGRR, as the settings store them.
    std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t color);
    std::uint32_t ForeColor() const { return foreColor_; }
    void SetForeColor(std::uint32_t color);

    // Clears the box to its background colour (the printed text goes).
    void Cls();
    // Prints one line of text at the top-left corner, in the box's font and text colour.
    void Print(const QString& text);
    QString PrintedText() const { return printedText_; }

  Q_SIGNALS:
    void Click();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    std::uint32_t backColor_ = 0;
    std::uint32_t foreColor_ = 0x00FFFFFF;
    QString printedText_;
};

}  // namespace snapwire::accounts

#pragma once

// The main window's picture commands outside the upload cycle: saving the current
// frame where the user chooses, printing it and copying it. The handlers are
// frmMain members (picture_commands.cpp); this holds what they share.

#include <QPixmap>
#include <QString>
#include <optional>

#include "platform/ui/common_dialogs.h"

class QWidget;

namespace snapwire::pictures {

// The save dialog's filters, by their place in the list.
inline constexpr int kBitmapFilter = 1;
inline constexpr int kJpegFilter = 2;

// The "Capture Image..." save dialog: its title, filters and default extension,
// and the file name it opens with, which the command changes after every choice.
class CaptureDialog {
  public:
    CaptureDialog();

    QString FileName() const { return fileName_; }
    void SetFileName(const QString& name) { fileName_ = name; }

    // nullopt when cancelled or when no file name came back.
    std::optional<ui::FileChoice> ShowSave(QWidget* parent) const;

  private:
    QString fileName_;
};

// Prints the picture on the default printer's page at the top-left corner of the
// printable area, as large as it is on the screen. False when nothing was printed
// (no picture, no printer, or the printer refused the page).
bool PrintPicture(const QPixmap& picture);

// Tests: pages go to this PDF file instead of the default printer; an empty path
// gives the printer back.
void SetPrinterOutputForTests(const QString& pdfPath);

}  // namespace snapwire::pictures

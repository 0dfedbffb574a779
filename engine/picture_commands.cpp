// Saving, printing and copying the current frame (File menu and toolbar button 1).

#include "engine/picture_commands.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QSlider>
#include <exception>

#include "engine/frm_main.h"
#include "engine/picture_box.h"
#include "options/prco_form.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/frame_files.h"
#include "platform/paths.h"
#include "platform/ui/controls.h"
#include "platform/ui/message_box.h"
#include "platform/ui/units.h"

namespace snapwire {

namespace pictures {

namespace {

constexpr int kTwipsPerInch = 1440;

QString& PrinterOutputForTests() {
    static QString path;
    return path;
}

}  // namespace

// The home folder stands where the dialog would open at the root of drive C.
CaptureDialog::CaptureDialog() : fileName_(QDir::homePath() + QStringLiteral("/capture")) {}

std::optional<ui::FileChoice> CaptureDialog::ShowSave(QWidget* parent) const {
    std::optional<ui::FileChoice> choice =
        ui::ShowSaveChoosingFilter(parent, QStringLiteral("Capture to..."),
                                   QStringLiteral("Bitmap files (*.bmp)|*.bmp|JPEG files (*.jpg)|*.jpg"),
                                   fileName_, QStringLiteral(".bmp"));
    if (choice && choice->path.isEmpty())
        return std::nullopt;
    return choice;
}

bool PrintPicture(const QPixmap& picture) {
    if (picture.isNull())
        return false;
    QPrinter printer(QPrinter::HighResolution);
    if (!PrinterOutputForTests().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PrinterOutputForTests());
    } else if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()) {
        return false;  // Qt found no printer and would only complain
    }
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // A screen pixel is 15 twips, so the page shows the picture at its size on the screen.
    const double scale = static_cast<double>(printer.resolution()) * ui::kTwipsPerPixel / kTwipsPerInch;
    painter.drawPixmap(QRectF(0, 0, picture.width() * scale, picture.height() * scale), picture,
                       QRectF(picture.rect()));
    return painter.end();
}

void SetPrinterOutputForTests(const QString& pdfPath) {
    PrinterOutputForTests() = pdfPath;
}

}  // namespace pictures

namespace {

constexpr const char* kPrintFile = "print.bmp";

// Picture areas that are never shown come into being at their first use.
PictureBox* HiddenPictureArea(PictureBox*& area, QWidget* parent, const char* name) {
    if (!area) {
        area = new PictureBox(parent);
        area->setObjectName(QString::fromLatin1(name));
        area->hide();
    }
    return area;
}

QString DescriptionOf(const std::exception& failure) {
    if (const auto* capture = dynamic_cast<const capture::CaptureError*>(&failure))
        return capture->description();
    return QString::fromLocal8Bit(failure.what());
}

// An existing file is replaced only when the user agrees; otherwise the dialog
// comes back for another name.
bool UserAllowsReplacing(const QString& path) {
    if (!QFileInfo(path).isFile())
        return true;
    return ui::MsgBox(QStringLiteral("'") + path + QStringLiteral("' already exist\r\rOverwrite?"),
                      ui::vbYesNo + ui::vbQuestion + ui::vbDefaultButton2,
                      QStringLiteral("File already exist")) == ui::vbYes;
}

std::optional<ui::FileChoice> ChooseCaptureFile(const pictures::CaptureDialog& dialog, QWidget* parent) {
    for (;;) {
        std::optional<ui::FileChoice> choice = dialog.ShowSave(parent);
        if (!choice || UserAllowsReplacing(choice->path))
            return choice;
    }
}

// The filter chosen decides the format, whatever extension the name has.
void WritePicture(capture::CaptureControl& control, const QImage& picture, const ui::FileChoice& choice) {
    if (choice.filterIndex == pictures::kJpegFilter) {
        if (control.SavePictureAsJpeg(picture, choice.path, forms::prcoForm().Slider1->value()) == 0)
            ui::MsgBox(QStringLiteral("Failed to save JPEG file"), ui::vbCritical + ui::vbOKOnly);
        return;
    }
    if (picture.isNull())
        throw capture::CaptureError(capture::kErrorNoFrame,
                                    QStringLiteral("There is no picture from the capture device"));
    capture::WriteBitmap24(picture, choice.path);
}

}  // namespace

void frmMain::save_image_capture_Click() {
    vcx->SetLivePreview(false);
    PictureBox* still = HiddenPictureArea(picLastCapture, this, "picLastCapture");
    still->SetPicture(QPixmap::fromImage(vcx->CurrentFrame()));
    try {
        if (const std::optional<ui::FileChoice> choice = ChooseCaptureFile(dlg, this)) {
            // The next time the dialog opens with the name without its extension.
            dlg.SetFileName(choice->path.left(choice->path.size() - 4));
            WritePicture(*vcx, still->Picture().toImage(), *choice);
        }
    } catch (const std::exception& failure) {
        ui::MsgBox(DescriptionOf(failure), ui::vbCritical + ui::vbOKOnly,
                   QStringLiteral("Error saving image"));
    }
    // On again even when the user had switched the live video off.
    vcx->SetLivePreview(true);
}

void frmMain::mnuPrint_Click() {
    const QString path = platform::ProgramFile(QString::fromLatin1(kPrintFile));
    bool frameWritten = false;
    try {
        vcx->SaveFrameAsBitmap(path);
        frameWritten = true;
    } catch (const std::exception& failure) {
        ui::MsgBox(QStringLiteral("Print Error: ") + DescriptionOf(failure),
                   ui::vbInformation + ui::vbOKOnly);
    }
    // Only the frame just written is printed: after a failed write the file and the
    // print area may still hold an earlier picture.
    PictureBox* printed = HiddenPictureArea(picPrint, this, "picPrint");
    if (frameWritten && printed->LoadPicture(path)) {
        printed->resize(printed->Picture().size());
        pictures::PrintPicture(printed->Picture());
    }
    if (ui::CheckValue(forms::prcoForm().chkPrint) != 1)
        QFile::remove(path);
}

void frmMain::mnuCopytoClipboard_Click() {
    try {
        vcx->CopyFrameToClipboard();
    } catch (const std::exception&) {
        // Nothing to copy without a frame; the command reports nothing.
    }
}

}  // namespace snapwire

#include "engine/picture_composition.h"

#include "accounts/date_tokens.h"
#include "accounts/frm_addi.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/frame_files.h"
#include "platform/paths.h"
#include "platform/ui/units.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>

namespace snapwire::upload {

namespace {

void WriteWorkingBitmap(const QImage& image, const char* name) {
    try {
        capture::WriteBitmap24(image, WorkingFilePath(name));
    } catch (const capture::CaptureError& error) {
        throw WorkingFileError(error.description());
    }
}

// Removes a file of that name; a folder of that name is left alone.
bool RemoveFileIfPresent(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    return !info.isDir() && QFile::remove(path);
}

// A picture kept from an earlier cycle must not survive a failed write: it would be
// copied, uploaded and logged as this cycle's picture.
bool WritePublishedPicture(capture::CaptureControl& vcx, const QImage& picture, int quality) {
    const QString path = WorkingFilePath(kPublishedPicture);
    if (!RemoveFileIfPresent(path))
        return false;
    if (vcx.SavePictureAsJpeg(picture, path, quality) != 0)
        return true;
    RemoveFileIfPresent(path);
    return false;
}

// The composite before its strip: the picture on top of `stripHeight` rows in the
// strip's background colour.
QImage CompositeCanvas(const QImage& picture, int stripHeight, std::uint32_t backColor) {
    QImage composite(picture.width(), picture.height() + stripHeight, QImage::Format_RGB32);
    composite.fill(ui::ColorFromBgr(backColor));
    QPainter(&composite).drawImage(QPoint(0, 0), picture);
    return composite;
}

}  // namespace

QString WorkingFilePath(const char* name) {
    return platform::ProgramFile(QString::fromLatin1(name));
}

WorkingFileError::WorkingFileError(const QString& description)
    : std::runtime_error(description.toStdString()), description_(description) {}

QString StampTextFor(bool timestampOn, const QString& pattern) {
    return timestampOn ? accounts::TimestampTextFor(pattern) : QString();
}

int StripHeight(const QFont& font) {
    const QImage measure(1, 1, QImage::Format_RGB32);
    return QFontMetrics(font, &measure).height();
}

QImage DrawTimestampStrip(const QString& stampText, int width, const StripStyle& style) {
    QImage strip(width, StripHeight(style.Font), QImage::Format_RGB32);
    strip.fill(ui::ColorFromBgr(style.BackColor));
    QPainter painter(&strip);
    painter.setFont(style.Font);
    painter.setPen(ui::ColorFromBgr(style.ForeColor));
    // drawText(QPoint) places the baseline: the ascent puts the text's top at y = 0.
    painter.drawText(QPoint(1, painter.fontMetrics().ascent()), stampText);
    return strip;
}

QImage AppendStrip(const QImage& picture, const QImage& strip, std::uint32_t backColor) {
    QImage composite = CompositeCanvas(picture, strip.height(), backColor);
    QPainter(&composite).drawImage(QPoint(0, picture.height()), strip);
    return composite;
}

void DrawAdditionalTexts(QImage& picture) {
    forms::frmAddiReloaded().AddTextsToUpload(picture);
}

// Each step goes on with the picture it has just written: the file holds exactly
// those pixels, so reading it back would only copy them again. With the timestamp
// on, the frame is copied once, into the top of the composite, and its texts are
// drawn there.
PreparedPicture PreparePicture(capture::CaptureControl& vcx, const PictureSettings& settings) {
    PreparedPicture prepared;
    QImage picture =
        vcx.SaveFrameAsBitmap(WorkingFilePath(kFrameBitmap)).convertToFormat(QImage::Format_RGB32);
    const QSize frameSize = picture.size();
    QImage composite;
    if (settings.timestampOn) {
        composite = CompositeCanvas(picture, StripHeight(settings.strip.Font), settings.strip.BackColor);
        // The texts are drawn onto the composite's top rows; the camera's frame is let go.
        picture = QImage(composite.bits(), frameSize.width(), frameSize.height(), composite.bytesPerLine(),
                         composite.format());
    }
    if (settings.additionalTexts)
        DrawAdditionalTexts(picture);
    WriteWorkingBitmap(picture, kFrameBitmap);

    const capture::CaptureStatus status = vcx.GetCaptureStatus();
    prepared.frameWidth = status.width;
    prepared.frameHeight = status.height;

    if (settings.timestampOn) {
        prepared.StampText = StampTextFor(true, settings.timestampPattern);
        // A control that has lost its frame in the meantime reports no size; the
        // strip then takes the width of the frame that was saved.
        const int stripWidth = status.width > 0 ? status.width : frameSize.width();
        prepared.strip = DrawTimestampStrip(prepared.StampText, stripWidth, settings.strip);
        WriteWorkingBitmap(prepared.strip, kStripBitmap);
        QPainter(&composite).drawImage(QPoint(0, frameSize.height()), prepared.strip);
        picture = composite;
    }
    WriteWorkingBitmap(picture, kComposedBitmap);

    prepared.picture = std::move(picture);
    prepared.jpegWritten = WritePublishedPicture(vcx, prepared.picture, settings.jpegQuality);
    return prepared;
}

bool WriteTimeTextFile(const QString& StampText) {
    QFile file(WorkingFilePath(kTimeTextFile));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray line = StampText.toLocal8Bit() + QByteArrayLiteral("\r\n");
    return file.write(line) == line.size() && file.flush();
}

void DeleteWorkingFiles() {
    for (const char* name : {kFrameBitmap, kStripBitmap, kComposedBitmap, kTimeTextFile})
        RemoveFileIfPresent(WorkingFilePath(name));
}

void DeletePublishedPictureUnlessKept(bool keepUpload) {
    if (!keepUpload)
        RemoveFileIfPresent(WorkingFilePath(kPublishedPicture));
}

}  // namespace snapwire::upload

#pragma once

// The picture an upload cycle publishes: the camera frame with the account's
// additional texts, and below it, when the account's timestamp is on, a strip with
// the timestamp text in the account's font and colours, written as "webcam.jpg".
//
// Composition happens in memory, but every intermediate result is also written to
// its working file in the program folder, because other programs and the user see
// those files while a cycle runs:
//   "ic.bmp"     the frame, then the frame with its additional texts
//   "pu.bmp"     the timestamp strip (only with the timestamp on)
//   "pic.bmp"    the composite (or the frame with its texts)
//   "webcam.jpg" the published picture
//   "time.txt"   the timestamp text, one line (only when the account asks for it)

#include <QFont>
#include <QImage>
#include <QString>
#include <cstdint>
#include <stdexcept>

namespace snapwire::capture {
class CaptureControl;
}

namespace snapwire::upload {

inline constexpr const char* kFrameBitmap = "ic.bmp";
inline constexpr const char* kStripBitmap = "pu.bmp";
inline constexpr const char* kComposedBitmap = "pic.bmp";
inline constexpr const char* kPublishedPicture = "webcam.jpg";
inline constexpr const char* kTimeTextFile = "time.txt";

// The full path of the working file `name` (one of the above) in the program folder.
QString WorkingFilePath(const char* name);

// A working file that cannot be written. It ends the cycle's picture
// stretch like a failed frame save, but it is not the capture control's failure
// (number 10) and so is not reported to the user.
inline constexpr int kErrorWorkingFile = 75;

class WorkingFileError : public std::runtime_error {
  public:
    explicit WorkingFileError(const QString& description);
    int Number() const { return kErrorWorkingFile; }
    QString Description() const { return description_; }

  private:
    QString description_;
};

// The timestamp strip's look: the account's sample strip `picUnder`.
struct StripStyle {
    std::uint32_t BackColor = 0;           // 0x00BBGGRR
    std::uint32_t ForeColor = 0x00FFFFFF;  // 0x00BBGGRR
    QFont Font;
};

struct PictureSettings {
    bool timestampOn = false;  // frmUploadSettings.Check1
    QString timestampPattern;  // frmTimeFormat.txtTimeStamp
    StripStyle strip;          // frmUploadSettings.picUnder
    int jpegQuality = 75;      // prcoForm.Slider1, passed to the JPEG writer as it is
    // The frame gets the additional texts of the account loaded into the account
    // window (the upload cycle); off for a picture prepared without an account.
    bool additionalTexts = false;
};

// `StampText`: the cycle's timestamp text, empty with the timestamp off; with it on,
// the pattern expanded, or the current date and time when that gives nothing. It
// is also the content of "time.txt", the time column of the cycle's log entries
// and the caption of the last-picture window.
QString StampTextFor(bool timestampOn, const QString& pattern);

// Height of the strip: one line of text in the font, in the pixels of a picture
// (not of the screen).
int StripHeight(const QFont& font);
// The strip: `width` wide, StripHeight high, filled with the background colour,
// the text in the foreground colour with its top-left corner at (1, 0).
QImage DrawTimestampStrip(const QString& stampText, int width, const StripStyle& style);
// The picture at (0, 0) and the strip directly below it; the composite is as wide
// as the picture, and whatever neither covers has the strip's background colour.
QImage AppendStrip(const QImage& picture, const QImage& strip, std::uint32_t backColor);

// Draws the loaded account's ticked additional texts onto the frame, as stored at
// this moment: the additional-texts window reloads them first. They land between
// the frame and the strip.
void DrawAdditionalTexts(QImage& picture);

struct PreparedPicture {
    QString StampText;
    int frameWidth = 0;  // the frame size the capture control reports
    int frameHeight = 0;
    QImage strip;    // the timestamp strip that "pu.bmp" holds; null with the timestamp off
    QImage picture;  // what "pic.bmp" holds and "webcam.jpg" was written from
    // False when the JPEG writer failed: no "webcam.jpg" is left in the program
    // folder then (not even one kept from an earlier cycle), so nothing can publish
    // an old picture as the new one.
    bool jpegWritten = false;
};

// Saves the current frame, draws the additional texts and the strip, and writes
// "ic.bmp", "pu.bmp", "pic.bmp" and "webcam.jpg" with the quality given. Throws
// capture::CaptureError when the frame cannot be saved and WorkingFileError when a
// working file cannot be written; a failed JPEG is no exception (see jpegWritten).
PreparedPicture PreparePicture(capture::CaptureControl& vcx, const PictureSettings& settings);

// Writes "time.txt" anew: the stamp text and CR LF, in the locale's 8-bit encoding.
// False when the file cannot be created or written.
bool WriteTimeTextFile(const QString& StampText);

// The cycle's clean-up: removes "ic.bmp", "pu.bmp", "pic.bmp" and "time.txt" from the
// program folder, each only when it exists and is not a folder. Failures are ignored.
void DeleteWorkingFiles();
// Removes "webcam.jpg" from the program folder unless the keep option is ticked,
// under the same rule.
void DeletePublishedPictureUnlessKept(bool keepUpload);

}  // namespace snapwire::upload

#pragma once

// The number boxes of the option dialogs keep their text as typed while it is a
// whole number within their range; anything else is brought back into the range.

#include <QString>

namespace snapwire::options {

// `text` unchanged when it is a whole decimal number within low..high; otherwise
// the decimal text of its leading number (0 when there is none) clamped to the
// range. An empty text stays empty only when `emptyAllowed`.
QString ClampedNumberText(const QString& text, int low, int high, bool emptyAllowed);

// For the boxes whose number is read as a decimal one (the warning wait may be a
// fraction of a second): `text` unchanged while it reads as a number within
// low..high, the nearer bound when it reads as a number outside; any other text as
// ClampedNumberText gives it. An empty text stays empty.
QString ClampedDecimalText(const QString& text, int low, int high);

// The labels after the count and seconds boxes: singular only for exactly "1".
QString UploadsLabel(const QString& count);
QString SecondsLabel(const QString& seconds);

}  // namespace snapwire::options

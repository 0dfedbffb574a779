#pragma once

// The date-token pattern language of file names, timestamps and additional texts.
//
// A pattern is plain text in which "%YYYY", "%YY", "%Y" (year), "%TT", "%T" (month),
// "%DD", "%D" (day), "%HH", "%H" (24-hour clock), "%MM", "%M" (minute), "%SS", "%S"
// (second), "%W" (English weekday name) and "%A" ("AM"/"PM") stand for parts of one
// moment. File-name patterns also know "%N" (the picture's base name), timestamp
// patterns "%ST" (the locale's general date and time text).
//
// The tokens are replaced one after the other in that fixed order, each step
// replacing every occurrence in the text the previous step left behind. This is
// deliberately not a one-pass tokenizer: text put in by an earlier step (a base name
// holding tokens, neighbours joined by an empty base name) is seen by later steps,
// and stored patterns rely on that.

#include <QDateTime>
#include <QString>

namespace snapwire::accounts {

// Which special token a pattern knows besides the date and time tokens.
enum class PatternKind {
    Timestamp,  // "%ST" becomes the general date and time text; "%N" stays as typed
    FileName,   // "%N" becomes the base name; "%ST" is "%S" followed by a T
};

// Expands every token of pattern for the one moment given. baseName is used by
// file-name patterns only. Never fails: any other "%" sequence is copied unchanged.
QString ExpandDateTokens(const QString& pattern, const QDateTime& moment, PatternKind kind,
                         const QString& baseName = QString());

// What `FormatTime` of the timestamp-format dialog and of the additional-texts editor
// returns: the timestamp pattern expanded for the clock's current reading (read once).
// An empty pattern gives an empty text.
QString FormatTimeFor(const QString& pattern);

// What `UniqueFileName` of the unique-filename dialog (extension ".jpg") and of the
// upload settings window (no extension) returns: the file-name pattern expanded for
// the clock's current reading (read once), followed by extension.
QString UniqueFileNameFor(const QString& pattern, const QString& baseName,
                          const QString& extension = QString());

// The text a timestamp shows: FormatTimeFor(pattern), or the general date and time
// text when that expands to nothing. Both come from one reading of the clock, so
// the fallback cannot show a different moment than the expansion would have.
QString TimestampTextFor(const QString& pattern);

}  // namespace snapwire::accounts

#pragma once

// The open/save/colour/font pickers and the folder browser. Each returns nullopt
// when the user cancels. Tests queue answers so no picker blocks.

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

class QWidget;

namespace snapwire::ui {

// `filter` uses the "Description|*.ext|..." pairs the program's dialogs give, or Qt's form.
std::optional<QString> ShowOpen(QWidget* parent, const QString& title, const QString& filter,
                                const QString& initialPath = QString());
std::optional<QString> ShowSave(QWidget* parent, const QString& title, const QString& filter,
                                const QString& initialPath = QString());
std::optional<QColor> ShowColor(QWidget* parent, const QColor& initial);
std::optional<QFont> ShowFont(QWidget* parent, const QFont& initial);
std::optional<QString> BrowseForFolder(QWidget* parent, const QString& title,
                                       const QString& initialFolder = QString());

// A save dialog that also tells which filter was chosen (1 = the first pair), for
// callers that act on the filter rather than on the typed extension.
// `defaultExtension` ("bmp" or ".bmp") is added when the user types none.
struct FileChoice {
    QString path;
    int filterIndex = 1;
};
std::optional<FileChoice> ShowSaveChoosingFilter(QWidget* parent, const QString& title, const QString& filter,
                                                 const QString& initialPath, const QString& defaultExtension);

// Test hooks: the next picker of that kind returns this answer (nullopt = cancelled).
// Answering switches message-box answering on as well (see message_box.h); with
// answering on and nothing queued, a picker returns nullopt and counts the miss.
void AnswerNextFileDialog(std::optional<QString> path, int filterIndex = 1);
void AnswerNextColorDialog(std::optional<QColor> color);
void AnswerNextFontDialog(std::optional<QFont> font);
void AnswerNextFolderDialog(std::optional<QString> folder);
int UnansweredDialogCount();
void ResetDialogAnswersForTests();  // empties the queues and clears the miss count

namespace detail {
// "Description|*.a;*.b|..." to Qt's "Description (*.a *.b);;..."; Qt's own form
// passes unchanged. "*.*" becomes "*", which is what it means to the user.
QString ToQtFilter(const QString& filter);
}  // namespace detail

}  // namespace snapwire::ui

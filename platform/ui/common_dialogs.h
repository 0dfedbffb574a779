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

// Test hooks: the next picker of that kind returns this answer (nullopt = cancelled).
void AnswerNextFileDialog(std::optional<QString> path);
void AnswerNextColorDialog(std::optional<QColor> color);
void AnswerNextFontDialog(std::optional<QFont> font);
void AnswerNextFolderDialog(std::optional<QString> folder);

}  // namespace snapwire::ui

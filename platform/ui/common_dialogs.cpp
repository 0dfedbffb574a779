#include "platform/ui/common_dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QRegularExpression>
#include <QStringList>

#include "platform/ui/test_answers.h"

namespace snapwire::ui {

namespace {

struct DialogState {
    detail::AnswerQueue<std::optional<FileChoice>> files;
    detail::AnswerQueue<std::optional<QColor>> colors;
    detail::AnswerQueue<std::optional<QFont>> fonts;
    detail::AnswerQueue<std::optional<QString>> folders;
    int unanswered = 0;
};

DialogState& State() {
    static DialogState state;
    return state;
}

// In tests the queued answer stands in for the dialog; an unqueued one counts as
// cancelled so that no test waits on a picker.
template <typename T, typename ShowDialog>
std::optional<T> AnswerOrShow(detail::AnswerQueue<std::optional<T>>& answers, ShowDialog showDialog) {
    if (!detail::AnsweringForTests())
        return showDialog();
    if (std::optional<std::optional<T>> answer = answers.Take())
        return *answer;
    ++State().unanswered;
    qWarning("Unanswered picker in a test");
    return std::nullopt;
}

QString PatternsForQt(const QString& patterns) {
    QStringList list = patterns.split(QRegularExpression(QStringLiteral("[;,\\s]+")), Qt::SkipEmptyParts);
    for (QString& pattern : list) {
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    }
    return list.join(QLatin1Char(' '));
}

// A description that already ends in its own pattern list ("Bitmap files (*.bmp)")
// keeps its wording; Qt reads the patterns from the last parentheses.
QString FilterEntry(const QString& description, const QString& patterns) {
    const QString qtPatterns = PatternsForQt(patterns);
    const QString trimmed = description.trimmed();
    const qsizetype open = trimmed.lastIndexOf(QLatin1Char('('));
    if (trimmed.endsWith(QLatin1Char(')')) && open >= 0) {
        const QString inside = trimmed.mid(open + 1, trimmed.size() - open - 2);
        if (PatternsForQt(inside) == qtPatterns)
            return trimmed.left(open) + QLatin1Char('(') + qtPatterns + QLatin1Char(')');
    }
    return (trimmed.isEmpty() ? QString() : trimmed + QLatin1Char(' ')) + QLatin1Char('(') + qtPatterns +
           QLatin1Char(')');
}

int FilterIndexOf(const QString& qtFilter, const QString& chosen) {
    const qsizetype index = qtFilter.split(QStringLiteral(";;")).indexOf(chosen);
    return index < 0 ? 1 : static_cast<int>(index) + 1;
}

std::optional<FileChoice> RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& title,
                                        const QString& filter, const QString& initialPath,
                                        const QString& defaultExtension) {
    QFileDialog dialog(parent, title, initialPath);
    const QString qtFilter = detail::ToQtFilter(filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The program asks about overwriting itself where it matters.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!qtFilter.isEmpty())
        dialog.setNameFilter(qtFilter);
    if (!defaultExtension.isEmpty())
        dialog.setDefaultSuffix(defaultExtension.startsWith(QLatin1Char('.')) ? defaultExtension.mid(1)
                                                                              : defaultExtension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
    if (path.isEmpty())
        return std::nullopt;
    return FileChoice{path, FilterIndexOf(qtFilter, dialog.selectedNameFilter())};
}

std::optional<QString> PathOf(const std::optional<FileChoice>& choice) {
    return choice ? std::optional<QString>(choice->path) : std::nullopt;
}

}  // namespace

namespace detail {

QString ToQtFilter(const QString& filter) {
    if (!filter.contains(QLatin1Char('|')))
        return filter;
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) entries << FilterEntry(parts[i], parts[i + 1]);
    return entries.join(QStringLiteral(";;"));
}

}  // namespace detail

std::optional<QString> ShowOpen(QWidget* parent, const QString& title, const QString& filter,
                                const QString& initialPath) {
    return PathOf(AnswerOrShow(State().files, [&] {
        return RunFileDialog(parent, QFileDialog::AcceptOpen, title, filter, initialPath, QString());
    }));
}

std::optional<QString> ShowSave(QWidget* parent, const QString& title, const QString& filter,
                                const QString& initialPath) {
    return PathOf(ShowSaveChoosingFilter(parent, title, filter, initialPath, QString()));
}

std::optional<FileChoice> ShowSaveChoosingFilter(QWidget* parent, const QString& title, const QString& filter,
                                                 const QString& initialPath,
                                                 const QString& defaultExtension) {
    return AnswerOrShow(State().files, [&] {
        return RunFileDialog(parent, QFileDialog::AcceptSave, title, filter, initialPath, defaultExtension);
    });
}

std::optional<QColor> ShowColor(QWidget* parent, const QColor& initial) {
    return AnswerOrShow(State().colors, [&]() -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(initial, parent);
        return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
    });
}

std::optional<QFont> ShowFont(QWidget* parent, const QFont& initial) {
    return AnswerOrShow(State().fonts, [&]() -> std::optional<QFont> {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
        return ok ? std::optional<QFont>(chosen) : std::nullopt;
    });
}

std::optional<QString> BrowseForFolder(QWidget* parent, const QString& title, const QString& initialFolder) {
    return AnswerOrShow(State().folders, [&]() -> std::optional<QString> {
        const QString folder = QFileDialog::getExistingDirectory(parent, title, initialFolder);
        return folder.isEmpty() ? std::nullopt : std::optional<QString>(folder);
    });
}

void AnswerNextFileDialog(std::optional<QString> path, int filterIndex) {
    detail::SwitchAnsweringOnForTests();
    State().files.Push(path ? std::optional<FileChoice>(FileChoice{*path, filterIndex}) : std::nullopt);
}

void AnswerNextColorDialog(std::optional<QColor> color) {
    detail::SwitchAnsweringOnForTests();
    State().colors.Push(color);
}

void AnswerNextFontDialog(std::optional<QFont> font) {
    detail::SwitchAnsweringOnForTests();
    State().fonts.Push(std::move(font));
}

void AnswerNextFolderDialog(std::optional<QString> folder) {
    detail::SwitchAnsweringOnForTests();
    State().folders.Push(std::move(folder));
}

int UnansweredDialogCount() {
    return State().unanswered;
}

void ResetDialogAnswersForTests() {
    DialogState& state = State();
    state.files.Clear();
    state.colors.Clear();
    state.fonts.Clear();
    state.folders.Clear();
    state.unanswered = 0;
}

}  // namespace snapwire::ui

#include "accounts/pattern_dialog.h"

#include "accounts/frm_upload_settings.h"
#include "platform/ui/fonts.h"
#include "platform/ui/units.h"
#include "settings_store/c_registry.h"
#include "settings_store/program_settings.h"
#include "windows/design_rect.h"

#include <QFont>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace snapwire::accounts {

namespace {

constexpr int kTokenColumns[] = {240, 1440, 2640};
constexpr int kTokenWidth = 975;
constexpr int kTokenHeight = 375;

}  // namespace

void SetUpPatternDialog(QWidget* dialog, const QString& caption, int widthTwips, int heightTwips) {
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    dialog->setFont(ui::DesignFont());
    dialog->setFixedSize(ui::TwipsToPixels(widthTwips), ui::TwipsToPixels(heightTwips));
}

QPushButton* NewTokenButton(const char* caption, int column, int rowTop, QWidget* parent) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setGeometry(DesignRect(kTokenColumns[column], rowTop, kTokenWidth, kTokenHeight));
    return button;
}

// The caret is the start of the selection: a selection made backwards leaves the
// cursor at its start already, one made forwards at its end.
void InsertToken(QLineEdit* box, const QString& token) {
    const int caret = box->hasSelectedText() ? box->selectionStart() : box->cursorPosition();
    const QString text = box->text();
    box->setText(text.left(caret) + token + text.mid(caret));
    box->setFocus(Qt::OtherFocusReason);
    box->setCursorPosition(caret + static_cast<int>(token.size()));
}

void WriteToSelectedAccount(const std::vector<std::pair<const char*, SettingValue>>& values) {
    const QString account = forms::frmUploadSettings().ftps->SelectedText();
    if (account.isEmpty())
        return;
    try {
        for (const auto& [name, value] : values) WriteSetting(account, QString::fromLatin1(name), value);
    } catch (const RegistryError&) {
    }
}

}  // namespace snapwire::accounts

// The main window's toolbar: its buttons' commands, the popup menu that shows and
// hides the buttons, and the nine stored flags that keep that choice.

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <exception>

#include "engine/frm_main.h"
#include "engine/main_toolbar.h"
#include "engine/main_window_rules.h"
#include "engine/menu_items.h"
#include "engine/picture_box.h"
#include "options/frm_driver.h"
#include "settings_store/c_registry.h"
#include "settings_store/program_settings.h"

namespace snapwire {

namespace {

// The stored flags, in the order in which they are written and read, with the
// popup item whose check mark each one holds.
struct ToolbarFlag {
    const char* value;
    QAction* frmMain::*item;
};
constexpr ToolbarFlag kToolbarFlags[] = {
    {"TBFTP", &frmMain::mnuPFTP},
    {"TBHideInSystray", &frmMain::mnuPhis},
    {"TBMotionDetection", &frmMain::mnuPMotion_Detection},
    {"TBPicture", &frmMain::mnuPPicture},
    {"TBProgConf", &frmMain::mnuPProgConf},
    {"TBSaveImage", &frmMain::mnuPSave_Image_Capture},
    {"TBSaveMotion", &frmMain::mnuPSave_Motion_Image_Capture},
    {"TBUploadNow", &frmMain::mnuPUpload_now},
    {"TBHideToolbar", &frmMain::mnuPHide_Toolbar},
};

}  // namespace

// --- Building ------------------------------------------------------------------------------

void frmMain::BuildToolbarPopup() {
    mnuPopup = new QMenu(QStringLiteral("Popup Menu"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuPSave_Image_Capture =
        AddCheckItem(mnuPopup, QStringLiteral("Capture Image"), "mnuPSave_Image_Capture", true);
    mnuPSave_Motion_Image_Capture =
        AddCheckItem(mnuPopup, QStringLiteral("Capture Movie"), "mnuPSave_Motion_Image_Capture", true);
    mnuPUpload_now = AddCheckItem(mnuPopup, QStringLiteral("Upload Now"), "mnuPUpload_now", true);
    mnuPMotion_Detection =
        AddCheckItem(mnuPopup, QStringLiteral("Motion Detection"), "mnuPMotion_Detection", true);
    mnuPFTP = AddCheckItem(mnuPopup, QStringLiteral("Upload Settings"), "mnuPFTP", true);
    mnuPProgConf = AddCheckItem(mnuPopup, QStringLiteral("Program Configuration"), "mnuPProgConf", true);
    mnuPPicture = AddCheckItem(mnuPopup, QStringLiteral("Picture (Source)"), "mnuPPicture", true);
    mnuPhis = AddCheckItem(mnuPopup, QStringLiteral("Hide in systray"), "mnuPhis", true);
    mnuPSep = AddMenuItem(mnuPopup, QStringLiteral("-"), "mnuPSep");
    mnuPHide_Toolbar = AddCheckItem(mnuPopup, QStringLiteral("&Hide Toolbar"), "mnuPHide_Toolbar", false);
    mnuPReset = AddMenuItem(mnuPopup, QStringLiteral("&Reset"), "mnuPReset");

    OnClick(mnuPSave_Image_Capture, [this] { mnuPSave_Image_Capture_Click(); });
    OnClick(mnuPSave_Motion_Image_Capture, [this] { mnuPSave_Motion_Image_Capture_Click(); });
    OnClick(mnuPUpload_now, [this] { mnuPUpload_now_Click(); });
    OnClick(mnuPMotion_Detection, [this] { mnuPMotion_Detection_Click(); });
    OnClick(mnuPFTP, [this] { mnuPFTP_Click(); });
    OnClick(mnuPProgConf, [this] { mnuPProgConf_Click(); });
    OnClick(mnuPPicture, [this] { mnuPPicture_Click(); });
    OnClick(mnuPhis, [this] { mnuPhis_Click(); });
    OnClick(mnuPHide_Toolbar, [this] { mnuPHide_Toolbar_Click(); });
    OnClick(mnuPReset, [this] { mnuPReset_Click(); });
}

void frmMain::ConnectToolbar() {
    connect(Toolbar1, &MainToolbar::ButtonClick, this,
            [this](QAction* button) { Toolbar1_ButtonClick(button); });
    connect(Toolbar1, &MainToolbar::ButtonMenuClick, this,
            [this](QAction* item) { Toolbar1_ButtonMenuClick(item); });
    connect(Toolbar1, &MainToolbar::MouseDown, this, [this](int button) { Toolbar1_MouseDown(button); });
}

// --- Stored flags ----------------------------------------------------------------------------

void frmMain::WriteToolbarFlags() {
    for (const ToolbarFlag& flag : kToolbarFlags) {
        try {
            WriteSetting(QString(), QString::fromLatin1(flag.value),
                         SettingValue((this->*flag.item)->isChecked()));
        } catch (const RegistryError&) {
            // A flag that cannot be stored is lost quietly.
        }
    }
}

void frmMain::ReadToolbarFlags() {
    for (const ToolbarFlag& flag : kToolbarFlags)
        (this->*flag.item)
            ->setChecked(FlagTextIsSet(ReadSetting(QString(), QString::fromLatin1(flag.value))));
}

// Each handler inverts its mark and shows or hides its button; two runs leave the
// mark as read and the toolbar matching it.
void frmMain::ApplyToolbarItemsTwice() {
    void (frmMain::*const handlers[])() = {
        &frmMain::mnuPFTP_Click,
        &frmMain::mnuPhis_Click,
        &frmMain::mnuPMotion_Detection_Click,
        &frmMain::mnuPPicture_Click,
        &frmMain::mnuPProgConf_Click,
        &frmMain::mnuPSave_Image_Capture_Click,
        &frmMain::mnuPSave_Motion_Image_Capture_Click,
        &frmMain::mnuPUpload_now_Click,
    };
    for (const auto handler : handlers) {
        (this->*handler)();
        (this->*handler)();
    }
}

// --- Toolbar events ----------------------------------------------------------------------------

void frmMain::Toolbar1_ButtonClick(QAction* Button) {
    const QString key = MainToolbar::Key(Button);
    try {
        if (key == QLatin1String("Save Image Capture"))
            save_image_capture_Click();
        else if (key == QLatin1String("Save Motion Image Capture"))
            Save_Motion_Image_Capture_Click();
        else if (key == QLatin1String("ProgConf"))
            prco_Click();
        else if (key == QLatin1String("Camera"))
            source_Click();
        else if (key == QLatin1String("his"))
            systray_Click();
        else if (key == QLatin1String("Upload now"))
            mnuupload_now_Click();
        else if (key == QLatin1String("FTP"))
            FTP_Click();
        else if (key == QLatin1String("Motion Detection") && Button->isChecked())
            StartMotion();  // the button's state after the click
        else if (key == QLatin1String("Motion Detection"))
            StopMotion();
    } catch (const std::exception&) {
        // A command that fails ends; the toolbar reports nothing.
    }
}

void frmMain::Toolbar1_ButtonMenuClick(QAction* ButtonMenu) {
    const QString key = MainToolbar::Key(ButtonMenu);
    try {
        if (key == QLatin1String("Driver")) {
            snapwire::frmDriver& driver = forms::frmDriver();
            driver.hide();
            driver.show();
        } else if (key == QLatin1String("Format")) {
            vformat_Click();
        } else if (key == QLatin1String("Display")) {
            display_Click();
        } else if (key == QLatin1String("Source")) {
            source_Click();
        }
    } catch (const std::exception&) {
    }
}

void frmMain::Toolbar1_MouseDown(int Button) {
    if ((Button & 2) == 0)
        return;
    PopupMenu(mnuPopup, QCursor::pos());
    // Written whether or not anything changed.
    WriteToolbarFlags();
}

// --- Popup items ---------------------------------------------------------------------------------

void frmMain::ToggleButtonItem(QAction* item, int button) {
    item->setChecked(!item->isChecked());
    Toolbar1->SetButtonVisible(button, item->isChecked());
    UpdateSeparatorFor(item);
}

void frmMain::UpdateSeparatorFor(QAction* item) {
    const auto shown = [this](int button) { return Toolbar1->ButtonVisible(button); };
    const bool groupOfSevenHidden = !shown(7) && !shown(8) && !shown(9);
    if (item == mnuPSave_Image_Capture || item == mnuPSave_Motion_Image_Capture)
        Toolbar1->SetButtonVisible(3, shown(1) || shown(2));
    else if (item == mnuPUpload_now || item == mnuPMotion_Detection)
        Toolbar1->SetButtonVisible(6, shown(4) || shown(5));
    else if (item == mnuPFTP)
        Toolbar1->SetButtonVisible(10, !(groupOfSevenHidden && shown(11)));
    else if (item == mnuPProgConf || item == mnuPPicture)
        Toolbar1->SetButtonVisible(10, !groupOfSevenHidden);
}

void frmMain::mnuPSave_Image_Capture_Click() {
    ToggleButtonItem(mnuPSave_Image_Capture, 1);
}

void frmMain::mnuPSave_Motion_Image_Capture_Click() {
    ToggleButtonItem(mnuPSave_Motion_Image_Capture, 2);
}

void frmMain::mnuPUpload_now_Click() {
    ToggleButtonItem(mnuPUpload_now, 4);
}

void frmMain::mnuPMotion_Detection_Click() {
    ToggleButtonItem(mnuPMotion_Detection, 5);
}

void frmMain::mnuPFTP_Click() {
    ToggleButtonItem(mnuPFTP, 7);
}

void frmMain::mnuPProgConf_Click() {
    ToggleButtonItem(mnuPProgConf, 8);
}

void frmMain::mnuPPicture_Click() {
    ToggleButtonItem(mnuPPicture, 9);
}

void frmMain::mnuPhis_Click() {
    ToggleButtonItem(mnuPhis, 11);
}

void frmMain::mnuPHide_Toolbar_Click() {
    mnuPHide_Toolbar->setChecked(!Toolbar1->isHidden());
    Toolbar1->setVisible(!mnuPHide_Toolbar->isChecked());
    bgPic->move(bgPic->x(), Toolbar1->isHidden() ? 0 : kToolbarHeight);
    Form_Resize();
    mnuShowToolBar->setChecked(!mnuPHide_Toolbar->isChecked());
}

void frmMain::mnuShowToolBar_Click() {
    try {
        WriteSetting(QString(), QStringLiteral("TBHideToolbar"), SettingValue(mnuShowToolBar->isChecked()));
    } catch (const RegistryError&) {
    }
    mnuPHide_Toolbar_Click();
}

// The flags follow when the popup closes; the toolbar's own shown state stays.
void frmMain::mnuPReset_Click() {
    for (int button = 1; button <= MainToolbar::kButtonCount; ++button)
        Toolbar1->SetButtonVisible(button, true);
    for (QAction* item : {mnuPFTP, mnuPhis, mnuPMotion_Detection, mnuPPicture, mnuPProgConf,
                          mnuPSave_Image_Capture, mnuPSave_Motion_Image_Capture, mnuPUpload_now})
        item->setChecked(true);
    mnuPHide_Toolbar->setChecked(false);
}

}  // namespace snapwire

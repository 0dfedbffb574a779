#include "engine/cycle_settings.h"

#include "accounts/account_list.h"
#include "accounts/frm_time_format.h"
#include "accounts/frm_unique.h"
#include "accounts/frm_upload_settings.h"
#include "accounts/picture_sample.h"
#include "options/prco_form.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

namespace snapwire::upload {

namespace {

NamingScheme SelectedScheme(const frmUnique& unique) {
    if (unique.optAuto->isChecked())
        return NamingScheme::Numbered;
    if (unique.optCustom->isChecked())
        return NamingScheme::Custom;
    return NamingScheme::Disabled;
}

}  // namespace

QString CurrentAccountName() {
    return forms::frmUploadSettings().ftps->SelectedText();
}

NamingSettings CurrentNamingSettings() {
    const frmUploadSettings& account = forms::frmUploadSettings();
    const frmUnique& unique = forms::frmUnique();
    NamingSettings settings;
    settings.scheme = SelectedScheme(unique);
    settings.baseName = account.txtFilename->text();
    settings.extension = account.txtFileExtension->text();
    settings.customFormat = unique.txtCustomFormat->text();
    settings.keepRemote = unique.chkFTP->isChecked();
    settings.keepRemoteCount = unique.txtKeep->text();
    settings.keepLocal = unique.chkLocally->isChecked();
    settings.keepLocalCount = unique.txtKeep2->text();
    settings.remoteFolderText = account.txtFolder->text();
    settings.localFolderText = account.txtLocallySource->text();
    return settings;
}

PictureSettings CurrentPictureSettings() {
    const frmUploadSettings& account = forms::frmUploadSettings();
    PictureSettings settings;
    settings.timestampOn = account.Check1->isChecked();
    settings.timestampPattern = forms::frmTimeFormat().txtTimeStamp->text();
    settings.strip.BackColor = account.picUnder->BackColor();
    settings.strip.ForeColor = account.picUnder->ForeColor();
    settings.strip.Font = account.picUnder->font();
    settings.jpegQuality = forms::prcoForm().Slider1->value();
    settings.additionalTexts = true;
    return settings;
}

}  // namespace snapwire::upload

#include "options/frm_driver.h"

#include "engine/frm_main.h"
#include "options/ok_help_row.h"
#include "platform/capture/capture_control.h"
#include "platform/ui/app_control.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_box.h"
#include "settings_store/c_registry.h"
#include "settings_store/program_settings.h"
#include "windows/frm_help.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <functional>

namespace snapwire {

namespace {

constexpr const char* kDriverValue = "Select the driver you want to use:";

// A list that is brought up to date just before it opens.
class DriverList : public QComboBox {
  public:
    DriverList(QWidget* parent, std::function<void()> beforeOpening)
        : QComboBox(parent), beforeOpening_(std::move(beforeOpening)) {}
    void showPopup() override {
        beforeOpening_();
        QComboBox::showPopup();
    }

  private:
    std::function<void()> beforeOpening_;
};

}  // namespace

frmDriver::frmDriver() {
    setWindowTitle(QStringLiteral("Select Driver"));
    Frame1 = new QGroupBox(QString::fromUtf8(kDriverValue), this);
    cbDriver = new DriverList(Frame1, [this] { ListDriversAgain(); });
    cbDriver->setEditable(false);
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(cbDriver);

    const OkHelpRow buttons = NewOkHelpRow(this);
    cmdOK = buttons.ok;
    cmdHelp = buttons.help;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons.layout);

    // The change signal, so a selection made by code connects the driver as the user's does.
    connect(cbDriver, &QComboBox::currentIndexChanged, this, [this] { cbDriver_Click(); });
    // Choosing the entry shown changes no index: it connects a driver that has gone away
    // meanwhile (a camera unplugged and plugged in again).
    connect(cbDriver, &QComboBox::activated, this, [this](int index) {
        const capture::CaptureControl* vcx = forms::frmMain().vcx;
        if (vcx && index == vcx->DeviceIndex() && !vcx->DeviceConnected())
            cbDriver_Click();
    });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
}

frmDriver::~frmDriver() = default;

void frmDriver::Form_Load() {
    ui::DisableCloseButton(this);
}

bool frmDriver::ListDrivers(int selected) {
    const capture::CaptureControl* vcx = forms::frmMain().vcx;
    // Listing must not connect anything: only a selection does.
    const QSignalBlocker quiet(cbDriver);
    cbDriver->clear();
    const int count = vcx->DeviceCount();
    for (int index = 0; index < count; ++index) cbDriver->addItem(vcx->DeviceName(index));
    if (count == 0) {
        cbDriver->addItem(QStringLiteral("<none>"));
        selected = 0;
    }
    cbDriver->setCurrentIndex(selected);
    return count > 0;
}

void frmDriver::ListDriversAgain() {
    capture::CaptureControl* vcx = forms::frmMain().vcx;
    vcx->RefreshDevices();
    ListDrivers(vcx->DeviceIndex());
}

void frmDriver::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        ListDriversAgain();
    QDialog::showEvent(event);
}

void frmDriver::cbDriver_Click() {
    capture::CaptureControl* vcx = forms::frmMain().vcx;
    const int selected = cbDriver->currentIndex();
    // The "<none>" entry of a machine without drivers names nothing to connect.
    if (vcx == nullptr || selected < 0 || vcx->DeviceCount() == 0)
        return;
    const int previous = vcx->DeviceIndex();
    try {
        vcx->SetDeviceIndex(selected);
    } catch (const std::exception&) {
        RestoreDriver(previous);
    }
}

// The previous driver comes back and the list follows the capture control quietly,
// so a restore that fails as well cannot start another round or a second message.
void frmDriver::RestoreDriver(int previousIndex) {
    capture::CaptureControl* vcx = forms::frmMain().vcx;
    if (previousIndex >= 0 && previousIndex < vcx->DeviceCount()) {
        try {
            vcx->SetDeviceIndex(previousIndex);
        } catch (const std::exception&) {
        }
    }
    {
        const QSignalBlocker quiet(cbDriver);
        cbDriver->setCurrentIndex(vcx->DeviceIndex());
    }
    ui::MsgBox(QStringLiteral("Could not connect to driver!"), ui::vbCritical + ui::vbOKOnly);
}

void frmDriver::cmdOK_Click() {
    hide();
    try {
        WriteSetting(QString(), QString::fromUtf8(kDriverValue), SettingValue(cbDriver->currentText()));
        WriteSetting(QString(), QString::fromLatin1(kDriverIdentityValue),
                     SettingValue(forms::frmMain().vcx->DeviceIdentity(cbDriver->currentIndex())));
    } catch (const RegistryError&) {
        // Without a stored name the main window simply keeps its first driver at the next start.
    }
}

void frmDriver::cmdHelp_Click() {
    ShowHelpTopic(QStringLiteral("Driver"));
}

namespace forms {
snapwire::frmDriver& frmDriver() {
    static ui::FormSlot<snapwire::frmDriver> slot;
    return slot.Get();
}
}  // namespace forms

}  // namespace snapwire

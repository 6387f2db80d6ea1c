#include "gui/SettingsDialog.h"

#include <QButtonGroup>

#include "foundation/Catalogue.h"
#include "ui_SettingsDialog.h"

namespace vondrix::gui {

SettingsDialog::SettingsDialog(Session& session, QWidget* parent)
    : QDialog(parent), session_(session), ui_(std::make_unique<Ui::SettingsDialog>()) {
    ui_->setupUi(this);
    const Settings& s = session.settings;
    // The radio buttons start with none checked while no port is chosen, so
    // they are kept exclusive by hand rather than by an exclusive group.
    QRadioButton* radios[] = {ui_->port0Radio, ui_->port1Radio, ui_->port2Radio, ui_->port3Radio,
                              ui_->port4Radio, ui_->port5Radio, ui_->port6Radio};
    for (int i = 0; i < 7; ++i) {
        radios[i]->setChecked(s.port == i);
        connect(radios[i], &QRadioButton::toggled, this, [radios, i](bool on) {
            if (!on) return;
            for (int j = 0; j < 7; ++j)
                if (j != i) radios[j]->setChecked(false);
        });
    }
    ui_->readBCheck->setChecked(s.readB);
    ui_->swapDCheck->setChecked(s.swapD);
    ui_->gsmConvCheck->setChecked(s.gsmConv);
    ui_->rem0Check->setChecked(s.rem0);
    ui_->smsStatCheck->setChecked(s.smsStat);
    ui_->intPrefixCheck->setChecked(s.intPrefix);
    ui_->noModemCheck->setChecked(s.noModem);
    ui_->w2kCableCheck->setChecked(s.w2kCable);
    ui_->w2kCableCheck->setEnabled(session.socketStack);
    if (!s.tPref.empty()) ui_->tPrefEdit->setText(QString::fromLatin1(s.tPref.c_str()));
    ui_->deviceEdit->setText(QString::fromStdString(s.device));
    ui_->irDevicesEdit->setText(QString::fromStdString(s.irDevices));
    const auto tip = catalogueText(90, session.language);
    ui_->noModemCheck->setToolTip(QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size())));
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::accept() {
    Settings& s = session_.settings;
    IniFile& ini = session_.ini;
    const auto flag = [&](const char* key, bool& value, QCheckBox* box) {
        value = box->isChecked();
        writeInt(ini, key, value ? 1 : 0);
    };

    // The first checked of COM1..COM6 gives 0..5; otherwise COM7.
    const QRadioButton* radios[] = {ui_->port0Radio, ui_->port1Radio, ui_->port2Radio,
                                    ui_->port3Radio, ui_->port4Radio, ui_->port5Radio};
    s.port = 6;
    for (int i = 0; i < 6; ++i) {
        if (radios[i]->isChecked()) {
            s.port = i;
            break;
        }
    }
    writeInt(ini, "Port", s.port);
    flag("ReadB", s.readB, ui_->readBCheck);
    flag("SwapD", s.swapD, ui_->swapDCheck);
    flag("GSMconv", s.gsmConv, ui_->gsmConvCheck);
    flag("IntPrefix", s.intPrefix, ui_->intPrefixCheck);
    flag("Rem0", s.rem0, ui_->rem0Check);
    flag("NoModem", s.noModem, ui_->noModemCheck);
    flag("W2KCable", s.w2kCable, ui_->w2kCableCheck);

    // The phone is told at once whether to keep status reports; its answer
    // does not matter, the setting is saved regardless.
    const bool smsStat = ui_->smsStatCheck->isChecked();
    session_.engine.standard(smsStat ? "AT+CNMI=1,0,0,2" : "AT+CNMI=0,0,0,0");
    s.smsStat = smsStat;
    writeInt(ini, "SMSstat", smsStat ? 1 : 0);

    s.tPref = ui_->tPrefEdit->text().left(static_cast<qsizetype>(Settings::kTPrefMax)).toLatin1().toStdString();
    ini.writeString(Settings::kSection, "TPref", s.tPref);

    // Keys of this platform: written only when they change, so that a
    // settings file that never used them stays as it was.
    const std::string device = ui_->deviceEdit->text().trimmed().toStdString();
    if (device != s.device) {
        s.device = device;
        ini.writeString(Settings::kSection, "Device", device);
    }
    const std::string irDevices = ui_->irDevicesEdit->text().trimmed().toStdString();
    if (irDevices != s.irDevices) {
        s.irDevices = irDevices;
        ini.writeString(Settings::kSection, "IrDevices", irDevices);
    }
    QDialog::accept();
}

}  // namespace vondrix::gui

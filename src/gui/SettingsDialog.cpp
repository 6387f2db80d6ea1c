#include "gui/SettingsDialog.h"

#include <QButtonGroup>

#include "foundation/Catalogue.h"
#include "gui/Latin1Text.h"
#include "gui/PhoneWorker.h"
#include "ui_SettingsDialog.h"

namespace vondrix::gui {

SettingsDialog::SettingsDialog(Session& session, Reporter& reporter, QWidget* parent)
    : QDialog(parent),
      session_(session),
      reporter_(reporter),
      ui_(std::make_unique<Ui::SettingsDialog>()) {
    ui_->setupUi(this);
    const Settings& s = session.settings;
    // The radio buttons start with none checked while no port is chosen, so
    // they are kept exclusive by hand rather than by an exclusive group.
    QRadioButton* radios[] = {ui_->port0Radio, ui_->port1Radio, ui_->port2Radio, ui_->port3Radio,
                              ui_->port4Radio, ui_->port5Radio, ui_->port6Radio};
    for (int i = 0; i < 7; ++i) {
        radios[i]->setChecked(s.port == i);
        connect(radios[i], &QRadioButton::toggled, this, [radios, i](bool on) {
            if (!on)
                return;
            for (int j = 0; j < 7; ++j)
                if (j != i)
                    radios[j]->setChecked(false);
        });
    }
    ui_->readBCheck->setChecked(s.readB);
    ui_->swapDCheck->setChecked(s.swapD);
    ui_->gsmConvCheck->setChecked(s.gsmConv);
    ui_->rem0Check->setChecked(s.rem0);
    ui_->smsStatCheck->setChecked(s.smsStat);
    ui_->intPrefixCheck->setChecked(s.intPrefix);
    ui_->noModemCheck->setChecked(s.noModem);
    ui_->fastReadCheck->setChecked(s.fastRead);
    ui_->w2kCableCheck->setChecked(s.w2kCable);
    ui_->w2kCableCheck->setEnabled(session.socketStack);
    if (!s.tPref.empty())
        ui_->tPrefEdit->setText(QString::fromLatin1(s.tPref.c_str()));
    ui_->deviceEdit->setText(QString::fromStdString(s.device));
    ui_->irDevicesEdit->setText(QString::fromStdString(s.irDevices));
    const auto tip = catalogueText(msg::TipOlderModels, session.language);
    ui_->noModemCheck->setToolTip(
        QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size())));
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::accept() {
    OptionsForm form;
    // The first checked of COM1..COM6 gives 0..5; otherwise COM7.
    const QRadioButton* radios[] = {ui_->port0Radio, ui_->port1Radio, ui_->port2Radio,
                                    ui_->port3Radio, ui_->port4Radio, ui_->port5Radio};
    form.port = 6;
    for (int i = 0; i < 6; ++i) {
        if (radios[i]->isChecked()) {
            form.port = i;
            break;
        }
    }
    form.readB = ui_->readBCheck->isChecked();
    form.swapD = ui_->swapDCheck->isChecked();
    form.gsmConv = ui_->gsmConvCheck->isChecked();
    form.intPrefix = ui_->intPrefixCheck->isChecked();
    form.rem0 = ui_->rem0Check->isChecked();
    form.noModem = ui_->noModemCheck->isChecked();
    form.w2kCable = ui_->w2kCableCheck->isChecked();
    form.smsStat = ui_->smsStatCheck->isChecked();
    form.tPref = toPc(ui_->tPrefEdit->text().left(static_cast<qsizetype>(Settings::kTPrefMax)));
    form.device = ui_->deviceEdit->text().trimmed().toStdString();
    form.irDevices = ui_->irDevicesEdit->text().trimmed().toStdString();
    form.fastRead = ui_->fastReadCheck->isChecked();
    onPhone([&] { applyOptions(session_, reporter_, form); });
    QDialog::accept();
}

}  // namespace vondrix::gui

#include "gui/CallBarringWindow.h"

#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <algorithm>

#include "foundation/Catalogue.h"
#include "foundation/Messages.h"
#include "gui/Latin1Text.h"
#include "gui/PhoneWorker.h"
#include "network/Texts.h"
#include "ui_CallBarringWindow.h"

namespace vondrix::gui {

CallBarringWindow::CallBarringWindow(Session& session, Reporter& reporter, QWidget* parent)
    : QDialog(parent), window_(session, reporter), ui_(std::make_unique<Ui::CallBarringWindow>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const auto title = catalogueText(msg::TitleBarring, session.language);
    setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
    classBoxes_ = {ui_->voiceCheck, ui_->dataCheck, ui_->faxCheck, ui_->allCheck};
    for (int f = 0; f < static_cast<int>(network::kFacilityCodes.size()); ++f) {
        const auto text = network::facilityText(session.language, f);
        ui_->facilityCombo->addItem(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    // The box only shows the phone's answer.
    ui_->activeCheck->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui_->passwordEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));

    for (std::size_t i = 0; i < classBoxes_.size(); ++i)
        connect(classBoxes_[i], &QCheckBox::toggled, this,
                [this, i](bool on) { classToggled(i, on); });
    connect(ui_->facilityCombo, &QComboBox::currentIndexChanged, this,
            &CallBarringWindow::facilityChosen);
    connect(ui_->activateButton, &QPushButton::clicked, this, [this] { runRequest(true); });
    connect(ui_->deactivateButton, &QPushButton::clicked, this, [this] { runRequest(false); });
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    onPhone([this] { window_.open(); });
    showStatus();
}

CallBarringWindow::~CallBarringWindow() = default;

void CallBarringWindow::showStatus() {
    const network::BarringStatus& s = window_.status();
    {
        const QSignalBlocker quiet(ui_->facilityCombo);
        ui_->facilityCombo->setCurrentIndex(static_cast<int>(window_.facility()));
    }
    // A barring service is active while any class is barred.
    const bool anyClass = window_.classesEnabled() &&
                          std::find(s.classes.begin(), s.classes.end(), true) != s.classes.end();
    ui_->activeCheck->setChecked(s.lockActive || anyClass);
    for (std::size_t i = 0; i < classBoxes_.size(); ++i) {
        const QSignalBlocker quiet(classBoxes_[i]);
        classBoxes_[i]->setChecked(s.classes[i]);
        classBoxes_[i]->setEnabled(window_.classesEnabled());
    }
}

void CallBarringWindow::facilityChosen(int index) {
    if (index < 0)
        return;
    window_.changeFacility(static_cast<std::size_t>(index));
    showStatus();
}

void CallBarringWindow::classToggled(std::size_t index, bool on) {
    window_.tick(index, on);
    showStatus();
}

void CallBarringWindow::runRequest(bool activate) {
    setEnabled(false);
    // The password goes to the request and is kept nowhere else.
    const std::string password = toPc(ui_->passwordEdit->text());
    onPhone([&] {
        const auto outcomes = window_.request(activate, password);
        // What the phone took for a barring service is asked again, so that
        // the boxes show what the phone holds, not what was ticked.
        const bool taken = std::any_of(outcomes.begin(), outcomes.end(), [](const auto& o) {
            return o.outcome == network::Outcome::Done;
        });
        if (taken && window_.classesEnabled())
            window_.show(window_.facility());
    });
    setEnabled(true);
    showStatus();
}

}  // namespace vondrix::gui

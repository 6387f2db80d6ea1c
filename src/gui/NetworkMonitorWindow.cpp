#include "gui/NetworkMonitorWindow.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <algorithm>

#include "foundation/Catalogue.h"
#include "foundation/Messages.h"
#include "gui/PhoneWorker.h"
#include "gui/StatusPixmaps.h"
#include "network/Texts.h"
#include "ui_NetworkMonitorWindow.h"

namespace vondrix::gui {
namespace {

constexpr int kCallColumns = 5;
// Widths of the call list's columns when none is stored.
constexpr int kDefaultWidths[kCallColumns] = {30, 30, 50, 100, 80};

QString utf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString utf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

NetworkMonitorWindow::NetworkMonitorWindow(MainWindowSession& main, Reporter& reporter,
                                           std::string logPath, QWidget* parent)
    : QDialog(parent),
      monitor_(main, reporter, std::move(logPath)),
      language_(main.session().language),
      ui_(std::make_unique<Ui::NetworkMonitorWindow>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    ui_->cellHexLabel->setToolTip(catalogue(msg::CaptionCellId));
    ui_->cellDecimalLabel->setToolTip(catalogue(msg::CaptionCellId));
    ui_->lacHexLabel->setToolTip(catalogue(msg::CaptionLai));
    ui_->lacDecimalLabel->setToolTip(catalogue(msg::CaptionLai));
    // The operator, its code, cell and location area in 18 points.
    QFont large = ui_->operatorNameLabel->font();
    large.setPointSize(18);
    for (QLabel* label : {ui_->operatorNameLabel, ui_->operatorCodeLabel, ui_->cellHexLabel,
                          ui_->cellDecimalLabel, ui_->lacHexLabel, ui_->lacDecimalLabel}) {
        label->setFont(large);
        label->setMargin(2);
    }
    setUpCallList();

    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui_->periodSpin, &QSpinBox::valueChanged, this, &NetworkMonitorWindow::periodChanged);
    connect(ui_->logCheck, &QCheckBox::toggled, this, &NetworkMonitorWindow::logToggled);
    connect(&timer_, &QTimer::timeout, this, &NetworkMonitorWindow::pollNow);

    onPhone([this] { monitor_.open(); });
    shownPeriod_ = monitor_.period();
    {
        const QSignalBlocker quiet(ui_->periodSpin);
        ui_->periodSpin->setValue(shownPeriod_);
    }
    {
        const QSignalBlocker quiet(ui_->logCheck);
        ui_->logCheck->setChecked(monitor_.logging());
    }
    showView();
    timer_.start(monitor_.period() * 1000);
}

NetworkMonitorWindow::~NetworkMonitorWindow() = default;

QString NetworkMonitorWindow::catalogue(int id) const {
    return utf8(catalogueText(id, language_));
}

void NetworkMonitorWindow::setUpCallList() {
    QTreeWidget* list = ui_->callList;
    list->setColumnCount(kCallColumns);
    QStringList headers;
    for (int c = 0; c < kCallColumns; ++c)
        headers << utf8(network::monitorColumnHeader(language_, c));
    list->setHeaderLabels(headers);
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);  // the widths stay as stored
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setMinimumSectionSize(0);
    const auto& stored = monitor_.settings().mCol;
    for (int c = 0; c < kCallColumns; ++c) {
        const int width = stored[static_cast<std::size_t>(c)];
        // The default widths, widened where the header would be cut.
        const int text = header->fontMetrics().horizontalAdvance(headers[c]) + 16;
        header->resizeSection(c, width != 0 ? width : std::max(kDefaultWidths[c], text));
    }
}

void NetworkMonitorWindow::showView() {
    const MonitorTexts t = monitor_.texts();
    ui_->operatorNameLabel->setText(utf8(t.operatorName));
    ui_->operatorCodeLabel->setText(utf8(t.operatorCode));
    // Cell and location area keep their texts when a reply has no location.
    if (!t.cellHex.empty()) {
        ui_->cellHexLabel->setText(utf8(t.cellHex));
        ui_->cellDecimalLabel->setText(utf8(t.cellDecimal));
    }
    if (!t.lacHex.empty()) {
        ui_->lacHexLabel->setText(utf8(t.lacHex));
        ui_->lacDecimalLabel->setText(utf8(t.lacDecimal));
    }
    ui_->registrationLabel->setText(utf8(t.registration));
    if (t.signalBitmap != 0) {
        ui_->receptionLabel->setText(t.receptionUnknown ? tr("unknown") : utf8(t.reception));
        ui_->signalIcon->setPixmap(statusPixmap(t.signalBitmap));
    }
    ui_->activityLabel->setText(utf8(t.activity));

    QTreeWidget* list = ui_->callList;
    list->clear();
    for (const MonitorTexts::Call& c : t.calls) {
        // Columns: index, in/out, state, number, mode.
        list->addTopLevelItem(new QTreeWidgetItem(QStringList{
            utf8(c.index), utf8(c.direction), utf8(c.state), utf8(c.number), utf8(c.mode)}));
    }

    std::vector<std::optional<int>> levels;
    levels.reserve(monitor_.reception().size());
    for (const ReceptionSample& s : monitor_.reception())
        levels.push_back(s.dbm);
    ui_->receptionChart->setLevels(std::move(levels));
}

void NetworkMonitorWindow::pollNow() {
    if (PhoneWorker::busy())
        return;  // a tick while another operation talks to the phone is skipped
    const auto result = onPhone([this] { return monitor_.poll(); });
    if (result == NetworkMonitorSession::PollResult::LinkFailed) {
        // A dead phone would bring its message on every tick: the timer
        // waits until the user changes the period.
        timer_.stop();
        return;
    }
    if (result == NetworkMonitorSession::PollResult::Done)
        showView();
}

void NetworkMonitorWindow::periodChanged(int value) {
    const int period = monitor_.stepPeriod(value - shownPeriod_);
    shownPeriod_ = period;
    if (period != value) {
        const QSignalBlocker quiet(ui_->periodSpin);
        ui_->periodSpin->setValue(period);
    }
    timer_.start(period * 1000);
}

void NetworkMonitorWindow::logToggled(bool on) {
    const bool logging = onPhone([&] { return monitor_.setLogging(on); }) && on;
    if (logging != on) {
        const QSignalBlocker quiet(ui_->logCheck);
        ui_->logCheck->setChecked(logging);
    }
}

void NetworkMonitorWindow::done(int result) {
    if (!closed_) {
        closed_ = true;
        timer_.stop();
        std::vector<int> widths;
        for (int c = 0; c < kCallColumns; ++c)
            widths.push_back(ui_->callList->header()->sectionSize(c));
        onPhone([&] { monitor_.close(widths); });
    }
    QDialog::done(result);
}

}  // namespace vondrix::gui

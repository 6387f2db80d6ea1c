#include "gui/ReceptionChart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace vondrix::gui {
namespace {

// The levels rssi 0..31 can give.
constexpr int kLowest = -113;
constexpr int kHighest = -51;
// Pixels between two polls.
constexpr int kStep = 6;

}  // namespace

ReceptionChart::ReceptionChart(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumHeight(minimumSizeHint().height());
}

void ReceptionChart::setLevels(std::vector<std::optional<int>> levels) {
    levels_ = std::move(levels);
    update();
}

void ReceptionChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Base));

    // The scale on the left: a few levels as numbers with faint lines.
    const QFontMetrics fm(font());
    const int labelWidth = fm.horizontalAdvance(QStringLiteral("-113")) + 6;
    const QRect plot = rect().adjusted(labelWidth, fm.height() / 2 + 2, -4, -fm.height() / 2 - 2);
    if (plot.width() < 2 || plot.height() < 2)
        return;
    const auto yOf = [&](int dbm) {
        const double share =
            double(std::clamp(dbm, kLowest, kHighest) - kLowest) / double(kHighest - kLowest);
        return plot.bottom() - share * plot.height();
    };
    QColor grid = pal.color(QPalette::Text);
    grid.setAlpha(50);
    for (const int level : {-110, -90, -70, -51}) {
        const double y = yOf(level);
        p.setPen(grid);
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(pal.color(QPalette::Text));
        p.drawText(QRectF(0, y - fm.height() / 2.0, labelWidth - 4, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(level));
    }
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(plot);

    // The newest reading at the right edge; older ones to the left as far
    // as they fit.
    const std::size_t fit = static_cast<std::size_t>(plot.width() / kStep) + 1;
    const std::size_t first = levels_.size() > fit ? levels_.size() - fit : 0;
    QPainterPath line;
    bool drawing = false;
    QPen pen(pal.color(QPalette::Highlight), 2);
    for (std::size_t i = first; i < levels_.size(); ++i) {
        const double x = plot.right() - double(levels_.size() - 1 - i) * kStep;
        if (!levels_[i]) {
            drawing = false;
            continue;
        }
        const QPointF point(x, yOf(*levels_[i]));
        if (drawing)
            line.lineTo(point);
        else
            line.moveTo(point);
        drawing = true;
        p.setPen(Qt::NoPen);
        p.setBrush(pen.color());
        p.drawEllipse(point, 2.0, 2.0);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(pen);
    p.drawPath(line);
}

}  // namespace vondrix::gui

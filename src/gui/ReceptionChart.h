#pragma once

#include <QWidget>
#include <optional>
#include <vector>

namespace vondrix::gui {

// A small line chart of the reception level over the monitor's run: one
// point per poll, from -113 dBm (bottom) to -51 dBm (top), the newest at the
// right edge. A poll without a level leaves a gap in the line.
class ReceptionChart : public QWidget {
    Q_OBJECT
  public:
    explicit ReceptionChart(QWidget* parent = nullptr);

    // Levels in dBm (-79), oldest first.
    void setLevels(std::vector<std::optional<int>> levels);
    const std::vector<std::optional<int>>& levels() const { return levels_; }

    QSize sizeHint() const override { return {300, 90}; }
    QSize minimumSizeHint() const override { return {120, 60}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<std::optional<int>> levels_;
};

}  // namespace vondrix::gui

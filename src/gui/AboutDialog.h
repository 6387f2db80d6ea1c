#pragma once

#include <QDialog>

namespace vondrix::gui {

// Name, version, credits and the two links and the address, each opened
// when clicked.
class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(const QString& helpFile, QWidget* parent = nullptr);
};

}  // namespace vondrix::gui

#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

namespace Ui {
class Pin2Dialog;
}

namespace vondrix::gui {

// Asks for the PIN2 that writes to the fixed dialling numbers need: a
// password field that takes digits only, at most 19 of them.
class Pin2Dialog : public QDialog {
    Q_OBJECT
  public:
    explicit Pin2Dialog(QWidget* parent = nullptr);
    ~Pin2Dialog() override;

    QString pin() const;

    // Runs the dialog: the digits typed (possibly none) on OK, nullopt on Cancel.
    static std::optional<std::string> ask(QWidget* parent);

  private:
    std::unique_ptr<Ui::Pin2Dialog> ui_;
};

}  // namespace vondrix::gui

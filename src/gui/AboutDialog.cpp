#include "gui/AboutDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/Shell.h"
#include "gui/StatusPixmaps.h"

namespace vondrix::gui {
namespace {

// Link texts are read back from their label (at most 100 characters) when
// clicked, as the address text is, which gets "mailto:" in front.
QLabel* linkLabel(const QString& objectName, const QString& text, bool mail, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped()));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    QObject::connect(label, &QLabel::linkActivated, label, [text, mail] {
        const QString target = text.left(100);
        openUrl(mail ? QStringLiteral("mailto:") + target : target);
    });
    return label;
}

}  // namespace

AboutDialog::AboutDialog(const QString& helpFile, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(tr("About Vondrix"));
    auto* layout = new QVBoxLayout(this);
    auto* title =
        new QLabel(QStringLiteral("<b>Vondrix</b> %1").arg(QStringLiteral(VONDRIX_VERSION)), this);
    layout->addWidget(title);
    layout->addWidget(
        new QLabel(tr("Manages a Siemens C35/S35-generation phone: phonebooks,\n"
                      "short messages, organizer, logo, ring tone and network services."),
                   this));
    layout->addWidget(new QLabel(
        tr("Written by the Vondrix team. Built with Qt %1.").arg(QString::fromLatin1(qVersion())),
        this));
    const QString helpUrl =
        helpFile.isEmpty() ? QString() : QUrl::fromLocalFile(helpFile).toString();
    if (!helpUrl.isEmpty())
        layout->addWidget(linkLabel(QStringLiteral("helpLink"), helpUrl, false, this));
    layout->addWidget(
        linkLabel(QStringLiteral("qtLink"), QStringLiteral("https://www.qt.io"), false, this));
    layout->addWidget(linkLabel(QStringLiteral("addressLink"),
                                QStringLiteral("vondrix@example.org"), true, this));
    // The program's picture sits on the OK button.
    auto* ok = new QPushButton(this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setIcon(QIcon(programPixmap(32)));
    ok->setIconSize(QSize(32, 32));
    ok->setText(tr("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace vondrix::gui

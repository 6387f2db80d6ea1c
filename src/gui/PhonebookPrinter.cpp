#include "gui/PhonebookPrinter.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "foundation/Reporter.h"
#include "gui/Latin1Text.h"

namespace vondrix::gui {
namespace {

constexpr const char* kDocumentName = "Pallado Phonebook";
constexpr int kPointSize = 14;
constexpr int kResolution = 150;  // medium quality
constexpr int kMaxLocationChars = 4;
constexpr int kMaxFieldChars = 49;
constexpr int kLeftIndent = 10;  // device pixels right of the x offset

// Headers are fixed texts per language, not translations: the argument
// order is label, month, day, year, hour, minute, page.
const char* headerFormat(Language language) {
    switch (language) {
        case Language::German:
            return "Telefonbuch C35/S35 %s %d/%02d/%4d, %02d:%02d  - %d";
        case Language::Spanish:
            return "Listin C35/S35 %s %d/%02d/%4d, %02d:%02d  - %d";
        case Language::French:
            return "Annuaire C35/S35 %s %d/%02d/%4d, %02d:%02d  - %d";
        case Language::Italian:
            return "Rubrica C35/S35 %s %d/%02d/%4d, %02d:%02d  - %d";
        case Language::Dutch:
            return "Telefoonboek C35/S35 %s %d/%02d/%4d, %02d:%02d  - %d";
        case Language::Norwegian:
            return "Telefonbok C35/S35 %s %d/%02d/%4d, %02d:%02d  - %d";
        case Language::Portuguese:
            return "Lista telefónica C35/S35 %s %d/%02d/%4d, %02d:%02d  - %d";
        case Language::English:
            break;
    }
    return "Phonebook C35/S35 %s %d/%02d/%4d, %02d:%02d - %d";
}

}  // namespace

QString printHeader(Language language, const QString& label, const QDateTime& when, int page) {
    const QDate date = when.date();
    const QTime time = when.time();
    return QString::asprintf(headerFormat(language), label.toUtf8().constData(), date.month(),
                             date.day(), date.year(), time.hour(), time.minute(), page);
}

QString printRow(const phonebook::Row& row) {
    // Column 0 of the list shows the location.
    const QString location = QString::number(row.location).left(kMaxLocationChars);
    return location.rightJustified(3) + u' ' + fromPc(row.name).left(kMaxFieldChars) +
           QStringLiteral(",  ") + fromPc(row.number).left(kMaxFieldChars);
}

int rowsPerPage(int pageHeight, int yOffset, int lineHeight) {
    if (lineHeight <= 0)
        return 1;
    return std::max(1, (pageHeight - 2 * yOffset - 6 * lineHeight) / lineHeight);
}

QFont printFont(int pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif, QFont::PreferOutline);
    font.setFixedPitch(false);
    font.setPixelSize(std::max(1, pixels));
    return font;
}

PrintLayout printLayout(const QPrinter& printer) {
    // The physical page and the printable area on it; with QPrinter's
    // default (not full page) the painter's origin is the printable area's
    // corner, so the offsets below are the same as a printer context's.
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    PrintLayout layout;
    layout.pageHeight = qRound(paper.height());
    layout.pageWidth = qRound(paper.width());
    layout.xOffset = qRound(page.left() - paper.left());
    layout.yOffset = qRound(page.top() - paper.top());
    // Points to pixels, rounded to nearest like a multiply-divide.
    layout.fontPixels = (kPointSize * printer.logicalDpiY() + 36) / 72;
    const QFontMetrics metrics(printFont(layout.fontPixels), &printer);
    layout.lineHeight = metrics.height() + std::max(0, metrics.leading());
    return layout;
}

std::vector<PrintPage> layoutPages(const phonebook::CurrentPhonebook& book, Language language,
                                   const QDateTime& when, int perPage) {
    perPage = std::max(1, perPage);
    const QString label = QString::fromLatin1(phonebook::kindInfo(book.kind).label);
    std::vector<PrintPage> pages;
    const auto startPage = [&] {
        pages.push_back(
            {printHeader(language, label, when, static_cast<int>(pages.size()) + 1), {}});
    };
    startPage();
    for (const phonebook::Row& row : book.rows) {
        QString text = printRow(row);
        const bool red = text.contains(u'!');
        pages.back().lines.push_back({std::move(text), red});
        // A full page is followed by the next one even when no row is left,
        // so rows that fill the pages exactly end with a header-only page.
        if (static_cast<int>(pages.back().lines.size()) == perPage)
            startPage();
    }
    return pages;
}

bool paintPage(QPainter& painter, const PrintLayout& layout, const PrintPage& page,
               const std::function<bool()>& betweenRows) {
    painter.setFont(printFont(layout.fontPixels));
    const int x = layout.xOffset + kLeftIndent;
    // Lines are placed by their top, QPainter places text by its baseline.
    const int ascent = painter.fontMetrics().ascent();
    const auto write = [&](int top, const QString& text, const QColor& colour) {
        painter.setPen(colour);
        painter.drawText(QPoint(x, top + ascent), text);
    };
    write(layout.yOffset + 2 * layout.lineHeight, page.header, QColor(0, 0, 0));
    int r = 0;
    for (const PrintLine& line : page.lines) {
        write(layout.yOffset + (r + 4) * layout.lineHeight, line.text,
              line.red ? QColor(255, 0, 0) : QColor(0, 0, 0));
        ++r;
        if (betweenRows && !betweenRows())
            return false;
    }
    return true;
}

std::vector<int> sheetOrder(int pages, int copies, bool collate) {
    copies = std::max(1, copies);
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(std::max(0, pages)) * static_cast<std::size_t>(copies));
    if (collate) {
        for (int c = 0; c < copies; ++c)
            for (int p = 0; p < pages; ++p)
                order.push_back(p);
    } else {
        for (int p = 0; p < pages; ++p)
            for (int c = 0; c < copies; ++c)
                order.push_back(p);
    }
    return order;
}

PrintOutcome printDocument(QPrinter& printer, const phonebook::CurrentPhonebook& book,
                           Language language, const QDateTime& when,
                           const std::function<bool()>& keepGoing) {
    printer.setDocName(QString::fromLatin1(kDocumentName));
    const PrintLayout layout = printLayout(printer);
    const std::vector<PrintPage> pages = layoutPages(book, language, when, layout.rowsPerPage());
    // A print system queue makes the copies (and collates) itself; a file
    // gets every copy written into it, so that three copies give three
    // times the pages as on paper.
    const int copies = printer.supportsMultipleCopies() ? 1 : printer.copyCount();
    const std::vector<int> order =
        sheetOrder(static_cast<int>(pages.size()), copies, printer.collateCopies());

    QPainter painter;
    if (!painter.begin(&printer))
        return PrintOutcome::Failed;
    bool cancelled = false;
    bool failed = false;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && !printer.newPage()) {
            failed = true;
            break;
        }
        if (!paintPage(painter, layout, pages[static_cast<std::size_t>(order[i])], keepGoing)) {
            cancelled = true;
            break;
        }
    }
    painter.end();
    if (cancelled) {
        // Qt's PDF output cannot abort: drop the unfinished file instead.
        if (!printer.outputFileName().isEmpty())
            QFile::remove(printer.outputFileName());
        return PrintOutcome::Cancelled;
    }
    if (failed || printer.printerState() == QPrinter::Error)
        return PrintOutcome::Failed;
    return PrintOutcome::Printed;
}

PrintCancelDialog::PrintCancelDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("printCancelDialog"));
    setWindowTitle(QStringLiteral("Vondrix"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(tr("Printing..."), this);
    text->setObjectName(QStringLiteral("printingLabel"));
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &PrintCancelDialog::reject);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

void PrintCancelDialog::reject() {
    if (isVisible())
        emit cancelRequested();
    QDialog::reject();
}

PrintOutcome printWithCancel(QWidget* owner, QPrinter& printer,
                             const phonebook::CurrentPhonebook& book, Language language) {
    const QPointer<QWidget> window(owner);
    const bool wasEnabled = window && window->isEnabled();
    if (window)
        window->setEnabled(false);
    // A child window of the disabled owner: stays above it, but must be
    // enabled on its own so that Cancel can be pressed.
    QPointer<PrintCancelDialog> cancel(new PrintCancelDialog(owner));
    cancel->setEnabled(true);
    bool aborted = false;
    QObject::connect(cancel, &PrintCancelDialog::cancelRequested, cancel, [&] {
        aborted = true;
        printer.abort();
    });
    cancel->show();

    const PrintOutcome outcome =
        printDocument(printer, book, language, QDateTime::currentDateTime(), [&] {
            QCoreApplication::processEvents();
            return !aborted;
        });

    delete cancel.data();
    if (window)
        window->setEnabled(wasEnabled);
    return outcome;
}

QPrinter& phonebookPrinter() {
    static std::unique_ptr<QPrinter> printer;
    if (!printer) {
        printer = std::make_unique<QPrinter>();
        printer->setResolution(kResolution);
        // Printer objects must go before the application's print support.
        qAddPostRoutine([] { printer.reset(); });
    }
    return *printer;
}

bool printPhonebook(QWidget* owner, const phonebook::CurrentPhonebook& book, Language language) {
    // The owner is disabled while printing; this guards any other way in.
    static bool printing = false;
    if (printing)
        return false;
    printing = true;
    struct Reset {
        ~Reset() { printing = false; }
    } reset;

    // Portrait and medium quality each time; everything else the user
    // chose last time stays.
    QPrinter& printer = phonebookPrinter();
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setResolution(kResolution);

    QPrintDialog dialog(&printer, owner);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    const PrintOutcome outcome = printWithCancel(owner, printer, book, language);
    if (owner)
        owner->activateWindow();
    if (outcome == PrintOutcome::Failed) {
        QMessageBox::critical(owner, QString::fromLatin1(captionText(Caption::Error)),
                              PrintCancelDialog::tr("The phonebook could not be printed."));
    }
    return outcome == PrintOutcome::Printed;
}

}  // namespace vondrix::gui

// Phonebook printing: headers, rows and pagination, and real prints to PDF
// files read back for their pages, texts and red rows.

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "gui/PhonebookPrinter.h"

using namespace vondrix;
using namespace vondrix::gui;
using phonebook::CurrentPhonebook;
using phonebook::Row;

namespace {

const QDateTime kWhen(QDate(2026, 12, 5), QTime(22, 40, 17));

// `count` rows; row 1 is a Redbook member, row 2 a deleted entry.
CurrentPhonebook makeBook(int count, phonebook::Kind kind = phonebook::Kind::Sim) {
    CurrentPhonebook book;
    book.kind = kind;
    for (int i = 0; i < count; ++i) {
        Row row{i + 1, "Name " + std::to_string(i + 1), "0301234" + std::to_string(i), 0};
        if (i == 1)
            row.name = "Boss!";
        if (i == 2) {
            row.name.clear();
            row.number.clear();
        }
        book.rows.push_back(row);
    }
    return book;
}

// An A4 PDF at 150 dpi with margins of 24 points (50 pixels) left and right,
// 48 points (100 pixels) top and bottom, so that the x and y offsets differ.
void setUpPdf(QPrinter& printer, const QString& file) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(150);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(24, 48, 24, 48), QPageLayout::Point);
    printer.setCopyCount(1);
    printer.setCollateCopies(true);
}

int pdfPageCount(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![A-Za-z])"));
    return static_cast<int>(QString::fromLatin1(f.readAll()).count(page));
}

// The text of each page, by pdftotext; empty when the tool is missing.
QStringList pdfPages(const QString& file) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess p;
    p.start(tool, {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// Answers the next modal dialog of type T as soon as it is up.
template <typename T>
void answerModal(const std::function<void(T*)>& answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* d = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(d);
        }
    });
    timer->start();
}

PrintCancelDialog* cancelDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<PrintCancelDialog*>(w))
            return d;
    return nullptr;
}

struct Ink {
    int red = 0;   // pure red, or red blended with white
    int dark = 0;  // black or grey
};
// Ink in the rows [top, top + height) of the image.
Ink inkIn(const QImage& image, int top, int height) {
    Ink ink;
    for (int y = std::max(0, top); y < std::min(image.height(), top + height); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 120 && std::abs(c.green() - c.blue()) < 8)
                ++ink.red;
            else if (c.red() < 100 && c.green() < 100 && c.blue() < 100)
                ++ink.dark;
        }
    }
    return ink;
}

}  // namespace

class PhonebookPrintTest : public QObject {
    Q_OBJECT
  private slots:
    void headerAndRowTexts();
    void rowsPerPageAndSheetOrder();
    void pagination();
    void layoutFromThePrinterAndPaintedPage();
    void pdfPageCounts();
    void pdfTexts();
    void cancelStopsAndRemovesTheFile();
    void printDialogCancelOrAccept();
};

void PhonebookPrintTest::headerAndRowTexts() {
    const struct {
        Language language;
        QDateTime when;
        const char* label;
        int page;
        const char* expected;
    } rows[] = {
        // English has one blank before the page, the others two; the words
        // are the catalogue's, so not every language is here.
        {Language::German, kWhen, "SIM", 2, "Telefonbuch C35/S35 SIM 12/05/2026, 22:40  - 2"},
        {Language::English, kWhen, "SIM", 2, "Phonebook C35/S35 SIM 12/05/2026, 22:40 - 2"},
        {Language::French, kWhen, "Internal", 3,
         "Annuaire C35/S35 Internal 12/05/2026, 22:40  - 3"},
        {Language::Dutch, kWhen, "SIM", 12, "Telefoonboek C35/S35 SIM 12/05/2026, 22:40  - 12"},
        {Language::Norwegian, kWhen, "SIM fix", 1,
         "Telefonbok C35/S35 SIM fix 12/05/2026, 22:40  - 1"},
        {Language::Portuguese, kWhen, "SIM", 1,
         "Lista telefónica C35/S35 SIM 12/05/2026, 22:40  - 1"},
        // Month unpadded, day, hour and minute padded to two digits.
        {Language::English, QDateTime(QDate(2027, 3, 4), QTime(7, 5)), "SIM", 1,
         "Phonebook C35/S35 SIM 3/04/2027, 07:05 - 1"},
    };
    for (const auto& r : rows)
        QCOMPARE(printHeader(r.language, QString::fromUtf8(r.label), r.when, r.page),
                 QString::fromUtf8(r.expected));

    // Each row: location, name and number, each cut to its width.
    const struct {
        Row row;
        QString expected;
    } bookRows[] = {
        {{5, "Anna", "+4930123", 0}, QStringLiteral("  5 Anna,  +4930123")},
        {{17, "Boss!", "0301", 0}, QStringLiteral(" 17 Boss!,  0301")},  // a Redbook member
        {{250, "", "", 0}, QStringLiteral("250 ,  ")},                   // a deleted entry
        {{123456, "X", "1", 0}, QStringLiteral("1234 X,  1")},           // a wide location is cut
        {{1, "M\xfcller", "2", 0}, QStringLiteral("  1 Müller,  2")},    // the name is Latin-1
        {{1, std::string(60, 'n'), std::string(55, '9'), 0},             // the fields are cut at 49
         QStringLiteral("  1 ") + QString(49, u'n') + QStringLiteral(",  ") + QString(49, u'9')},
    };
    for (const auto& r : bookRows)
        QCOMPARE(printRow(r.row), r.expected);
}

void PhonebookPrintTest::rowsPerPageAndSheetOrder() {
    QCOMPARE(rowsPerPage(1754, 21, 33), 45);  // (1754 - 42 - 198) / 33 = 45.9
    QCOMPARE(rowsPerPage(1000, 0, 100), 4);
    QCOMPARE(rowsPerPage(1000, 100, 100), 2);
    // A page that holds no row still prints one a page, and never divides by 0.
    QCOMPARE(rowsPerPage(300, 50, 100), 1);
    QCOMPARE(rowsPerPage(1000, 10, 0), 1);

    // Copies: collated, each copy whole; else each page its copies.
    QCOMPARE(sheetOrder(2, 1, true), (std::vector<int>{0, 1}));
    QCOMPARE(sheetOrder(2, 3, true), (std::vector<int>{0, 1, 0, 1, 0, 1}));
    QCOMPARE(sheetOrder(2, 3, false), (std::vector<int>{0, 0, 0, 1, 1, 1}));
    QCOMPARE(sheetOrder(1, 0, true), (std::vector<int>{0}));  // no count still prints once
}

// Five rows a page: a page that ends exactly at the last row is followed by
// one with the header only.
void PhonebookPrintTest::pagination() {
    const struct {
        int rows;
        QList<int> linesPerPage;
    } cases[] = {{0, {0}}, {3, {3}}, {5, {5, 0}}, {6, {5, 1}}, {10, {5, 5, 0}}, {11, {5, 5, 1}}};
    for (const auto& c : cases) {
        const auto pages = layoutPages(makeBook(c.rows), Language::German, kWhen, 5);
        QList<int> linesPerPage;
        int k = 0;
        for (std::size_t p = 0; p < pages.size(); ++p) {
            QCOMPARE(pages[p].header, printHeader(Language::German, QStringLiteral("SIM"), kWhen,
                                                  static_cast<int>(p) + 1));
            linesPerPage << static_cast<int>(pages[p].lines.size());
            for (const PrintLine& line : pages[p].lines) {
                // Rows in list order, only the Redbook member red.
                QVERIFY(line.text.startsWith(QStringLiteral("%1 ").arg(k + 1, 3)));
                QCOMPARE(line.red, k == 1);
                ++k;
            }
        }
        QCOMPARE(linesPerPage, c.linesPerPage);
    }
}

// The layout the printer gives; then page 1 painted onto an image the size
// of the paper, with the origin moved to the printable area as on the
// printer: the header and each row sit in their line, in black, and only
// the Redbook row is red.
void PhonebookPrintTest::layoutFromThePrinterAndPaintedPage() {
    QTemporaryDir dir;
    QPrinter printer;
    setUpPdf(printer, dir.filePath(QStringLiteral("x.pdf")));
    const PrintLayout l = printLayout(printer);
    QCOMPARE(l.pageWidth, 1240);  // A4 at 150 dpi
    QCOMPARE(l.pageHeight, 1754);
    QCOMPARE(l.xOffset, 50);
    QCOMPARE(l.yOffset, 100);
    QCOMPARE(l.fontPixels, 29);  // 14 pt at 150 dpi
    // The line is the font's height plus its leading, a little above the em.
    QVERIFY2(l.lineHeight >= l.fontPixels && l.lineHeight <= 2 * l.fontPixels,
             qPrintable(QString::number(l.lineHeight)));
    QCOMPARE(l.rowsPerPage(), rowsPerPage(1754, 100, l.lineHeight));

    const auto pages = layoutPages(makeBook(5), Language::German, kWhen, l.rowsPerPage());
    QCOMPARE(pages.size(), std::size_t{1});

    QImage image(l.pageWidth, l.pageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.translate(l.xOffset, l.yOffset);
        QVERIFY(paintPage(painter, l, pages[0]));
    }
    const int top = 2 * l.yOffset;  // paper coordinates of the printable origin, plus the offset
    const int lh = l.lineHeight;
    QCOMPARE(inkIn(image, 0, top + 2 * lh).dark, 0);  // nothing above the header
    const Ink header = inkIn(image, top + 2 * lh, lh);
    QVERIFY(header.dark > 50);
    QCOMPARE(header.red, 0);
    QCOMPARE(inkIn(image, top + 3 * lh, lh).dark, 0);  // one blank line under the header
    for (int r = 0; r < 5; ++r) {
        const Ink row = inkIn(image, top + (r + 4) * lh, lh);
        if (r == 1) {
            QVERIFY2(row.red > 50, qPrintable(QString::number(row.red)));
            QCOMPARE(row.dark, 0);
        } else {
            QVERIFY2(row.dark > 20, qPrintable(QString::number(r)));
            QCOMPARE(row.red, 0);
        }
    }
    QCOMPARE(inkIn(image, top + 9 * lh, l.pageHeight).dark, 0);
    // Text starts 10 pixels right of the offset (plus the glyph's bearing).
    int left = image.width();
    for (int y = top + 2 * lh; y < top + 3 * lh; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).lightness() < 128)
                left = std::min(left, x);
    QVERIFY2(left >= 2 * l.xOffset + 10 && left <= 2 * l.xOffset + 16,
             qPrintable(QString::number(left)));
}

// Rows as R * a + b for the R rows a page holds; copies into a file repeat
// the pages.
void PhonebookPrintTest::pdfPageCounts() {
    const struct {
        int a, b, copies, pages;
    } cases[] = {{0, 4, 1, 1}, {1, 0, 1, 2}, {2, 1, 1, 3}, {1, 1, 3, 6}};
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("book.pdf"));
        QPrinter printer;
        setUpPdf(printer, file);
        printer.setCopyCount(c.copies);
        const int r = printLayout(printer).rowsPerPage();
        QVERIFY(r > 10);
        QCOMPARE(printDocument(printer, makeBook(c.a * r + c.b), Language::English, kWhen),
                 PrintOutcome::Printed);
        QCOMPARE(pdfPageCount(file), c.pages);
        QCOMPARE(printer.docName(), QStringLiteral("Pallado Phonebook"));
    }
}

// The pages painted into the file hold their header and rows.
void PhonebookPrintTest::pdfTexts() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("texts.pdf"));
    QPrinter printer;
    setUpPdf(printer, file);
    const int r = printLayout(printer).rowsPerPage();
    QCOMPARE(printDocument(printer, makeBook(r + 2), Language::German, kWhen),
             PrintOutcome::Printed);
    const QStringList pages = pdfPages(file);
    QCOMPARE(pages.size(), 2);
    // The tool does not keep runs of blanks; their count is checked above.
    const QString page2 = pages[1].simplified();
    QVERIFY2(page2.startsWith(QStringLiteral("Telefonbuch C35/S35 SIM 12/05/2026, 22:40 - 2")),
             qPrintable(page2));
    QVERIFY2(page2.contains(QStringLiteral("%1 Name %1, 0301234%2").arg(r + 1).arg(r)),
             qPrintable(page2));
    // How the tool spaces a deleted row's lone comma is its own business:
    // compare without blanks.
    const QString page1 = QString(pages[0]).remove(QLatin1Char(' ')).remove(QLatin1Char('\n'));
    QVERIFY2(page1.contains(QStringLiteral("2Boss!,03012341")), qPrintable(page1));
    QVERIFY2(page1.contains(QStringLiteral("030123413,4Name4")), qPrintable(page1));
}

void PhonebookPrintTest::cancelStopsAndRemovesTheFile() {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("cancelled.pdf"));
    QPrinter printer;
    setUpPdf(printer, file);
    QWidget owner;
    owner.show();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        // Printing has begun: the owner is disabled, the cancel dialog usable.
        PrintCancelDialog* d = cancelDialog();
        QVERIFY(d && d->isVisible() && d->isEnabled());
        QVERIFY(!owner.isEnabled());
        QCOMPARE(d->findChild<QLabel*>(QStringLiteral("printingLabel"))->text(),
                 QStringLiteral("Printing..."));
        auto* cancel = d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
        QVERIFY(cancel && cancel->isEnabled());
        QTest::mouseClick(cancel, Qt::LeftButton);
        seen = true;
    });
    const auto outcome = printWithCancel(&owner, printer, makeBook(300), Language::English);
    QVERIFY(seen);
    QCOMPARE(outcome, PrintOutcome::Cancelled);
    QVERIFY(owner.isEnabled());
    QCOMPARE(cancelDialog(), nullptr);
    QVERIFY(!QFile::exists(file));
}

// Cancel in the print dialog prints nothing and leaves the page upright;
// OK prints with the copies the dialog holds, and its settings stay.
void PhonebookPrintTest::printDialogCancelOrAccept() {
    QTemporaryDir dir;
    QPrinter& printer = phonebookPrinter();
    const QString never = dir.filePath(QStringLiteral("never.pdf"));
    setUpPdf(printer, never);
    printer.setPageOrientation(QPageLayout::Landscape);
    answerModal<QPrintDialog>([](QPrintDialog* d) { d->reject(); });
    QVERIFY(!printPhonebook(nullptr, makeBook(3), Language::English));
    QVERIFY(!QFile::exists(never));
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);

    const QString file = dir.filePath(QStringLiteral("printed.pdf"));
    setUpPdf(printer, file);
    printer.setCopyCount(2);
    QWidget owner;
    owner.show();
    answerModal<QPrintDialog>([](QPrintDialog* d) { d->accept(); });
    QVERIFY(printPhonebook(&owner, makeBook(3), Language::German));
    QVERIFY(owner.isEnabled());
    QCOMPARE(cancelDialog(), nullptr);
    QCOMPARE(pdfPageCount(file), 2);   // the dialog kept the two copies
    QCOMPARE(printer.copyCount(), 2);  // and the settings stay for the next print
    QCOMPARE(printer.resolution(), 150);
}

QTEST_MAIN(PhonebookPrintTest)
#include "PhonebookPrintTest.moc"

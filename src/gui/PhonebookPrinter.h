#pragma once

// Printing the current phonebook as a plain list: one line per list row in
// the order the list shows, a header on every page naming the phonebook,
// the date and time and the page number, Redbook members in red.

#include <QDateTime>
#include <QDialog>
#include <QFont>
#include <QString>
#include <functional>
#include <vector>

#include "foundation/Language.h"
#include "phonebook/Phonebook.h"

class QPainter;
class QPrinter;

namespace vondrix::gui {

// The header of page `page`: the phonebook label, the date as
// month/day/year and the time, in the language's wording.
QString printHeader(Language language, const QString& label, const QDateTime& when, int page);

// One printed line: "%3s %s,  %s" of the location (at most 4 characters),
// the name and the number (at most 49 characters each).
QString printRow(const phonebook::Row& row);

// Rows that fit on a page under the header: (page height - 2 * y offset -
// 6 * line height) / line height, but at least 1 so that a page always
// makes progress.
int rowsPerPage(int pageHeight, int yOffset, int lineHeight);

// Page geometry in the printer's device pixels, taken when a print starts.
// The offsets are where the printable area lies on the physical page; a
// QPainter on the printer has its origin there, as a printer device
// context has.
struct PrintLayout {
    int pageHeight = 0;  // physical page
    int pageWidth = 0;
    int xOffset = 0;
    int yOffset = 0;
    int fontPixels = 0;  // height of the 14-point font at the printer's resolution
    int lineHeight = 0;  // font height plus external leading

    int rowsPerPage() const { return gui::rowsPerPage(pageHeight, yOffset, lineHeight); }
};
PrintLayout printLayout(const QPrinter& printer);

// "Arial" (Liberation Sans through fontconfig) at `pixels` device pixels.
QFont printFont(int pixels);

struct PrintLine {
    QString text;
    bool red = false;  // the line holds "!", a Redbook member
};
struct PrintPage {
    QString header;
    std::vector<PrintLine> lines;
};

// The pages of one copy: `perPage` rows a page, and when the rows fill the
// pages exactly, a last page that has only its header.
std::vector<PrintPage> layoutPages(const phonebook::CurrentPhonebook& book, Language language,
                                   const QDateTime& when, int perPage);

// Paints one page with the painter's origin at the printable area, as on a
// QPrinter: the header's top at (x offset + 10, y offset + 2 lines), row r
// of the page at (x offset + 10, y offset + (r + 4) lines). The offsets
// count once more from that origin, which keeps the printout where it has
// always been on the paper. `betweenRows` runs after every row; when it
// answers false the page stops there and this returns false.
bool paintPage(QPainter& painter, const PrintLayout& layout, const PrintPage& page,
               const std::function<bool()>& betweenRows = {});

// The order in which the pages of `copies` copies go to a printer that
// does not make copies itself: whole copies one after another when
// collated, else each page `copies` times.
std::vector<int> sheetOrder(int pages, int copies, bool collate);

enum class PrintOutcome { Printed, Cancelled, Failed };

// Prints the document "Pallado Phonebook" onto `printer` as it is set up,
// without any dialog. A printer that makes copies itself (a print system
// queue) gets the pages once and its copy count; otherwise (PDF output)
// the copies are printed into the one document. `keepGoing` runs between
// rows; false cancels, and a file being written is removed.
PrintOutcome printDocument(QPrinter& printer, const phonebook::CurrentPhonebook& book,
                           Language language, const QDateTime& when,
                           const std::function<bool()>& keepGoing = {});

// Dialog 115: says that printing is in progress; Cancel (or Escape, or the
// close box) asks for the print to stop.
class PrintCancelDialog : public QDialog {
    Q_OBJECT
  public:
    explicit PrintCancelDialog(QWidget* parent = nullptr);

  signals:
    void cancelRequested();

  public slots:
    void reject() override;
};

// Prints onto `printer` with the cancel dialog up and `owner` disabled,
// letting events run between rows so that Cancel works. Cancel aborts the
// document. The time in the headers is taken once, at the start.
PrintOutcome printWithCancel(QWidget* owner, QPrinter& printer,
                             const phonebook::CurrentPhonebook& book, Language language);

// The printer settings of the run: created on first use from the default
// printer (PDF output when there is none) and kept, with the user's
// choices, until the program ends.
QPrinter& phonebookPrinter();

// Command 40013: shows the print dialog and prints. False when the user
// cancels the dialog or the printing, or the printing fails (the user has
// been told). The caller gives the focus back to its list.
bool printPhonebook(QWidget* owner, const phonebook::CurrentPhonebook& book, Language language);

}  // namespace vondrix::gui

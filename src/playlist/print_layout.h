#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

#include "services/dialogs.h"

namespace vx::playlist {

inline constexpr int kPrintLinesPerPage = 70;

// Pages the printout is announced with: entries / 70 rounded up, at least 1.
int printPageCount(int entries);

// Asks "The printed playlist will be approx. N pages long (A4 size). Continue?"; true on Yes.
bool confirmPrint(Dialogs& dialogs, int entries);

// The progress window's label: "Printing Page 0 of N ...".
QString printingLabel(int pages);

// The date in the header: full weekday, two-digit day, full month, four-digit year, in the user's language.
QString printDateText(const QDate& date);

QString printHeaderLine(const QString& dateText, int page, int pages);
QString printRuleLine();
QString printEntryLine(const QString& displayLine);
QString printClosingLine();

// Where printed lines go: a printer, or a recorder in tests.
class PageSink {
  public:
    virtual ~PageSink() = default;
    virtual void newPage() = 0;  // the first page is begun without it
    virtual void line(const QString& text) = 0;
    virtual void finish() = 0;   // the job goes to the printer
    virtual void discard() = 0;  // nothing of the job is printed
};

// Prints the playlist's display lines: a head block on every page, 70 entries a page, then one empty line
// and the closing line (on the last page, also when it already holds 70 entries). `keepGoing` is asked
// before every entry (the window runs its events there); false discards the whole job and returns false.
bool printPlaylist(const QStringList& lines, const QString& dateText, PageSink& sink,
                   const std::function<bool()>& keepGoing);

}  // namespace vx::playlist

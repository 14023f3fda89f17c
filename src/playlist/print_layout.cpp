#include "playlist/print_layout.h"

#include <QLocale>

namespace vx::playlist {

namespace {
const QString kIndent(30, u' ');

void headBlock(PageSink& sink, const QString& dateText, int page, int pages) {
    for (int i = 0; i < 6; ++i) sink.line(QString());
    sink.line(printHeaderLine(dateText, page, pages));
    sink.line(printRuleLine());
    sink.line(QString());
}
}  // namespace

int printPageCount(int entries) {
    return std::max(1, (entries + kPrintLinesPerPage - 1) / kPrintLinesPerPage);
}

bool confirmPrint(Dialogs& dialogs, int entries) {
    const QString question = QStringLiteral("The printed playlist will be approx. ") +
                             QString::number(printPageCount(entries)) +
                             QStringLiteral(" pages long (A4 size). Continue?");
    return dialogs.message(question, QStringLiteral("Print DJ Playlist..."), Dialogs::Icon::Question,
                           Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
}

QString printingLabel(int pages) {
    return QStringLiteral("Printing Page 0 of ") + QString::number(pages) + QStringLiteral(" ...");
}

QString printDateText(const QDate& date) {
    return QLocale().toString(date, QStringLiteral("dddd, dd MMMM, yyyy"));
}

QString printHeaderLine(const QString& dateText, int page, int pages) {
    return kIndent + QStringLiteral("VELUMIX DJ PLAYLIST") + QString(14, u' ') + dateText + kIndent +
           QStringLiteral("Page ") + QString::number(page) + QStringLiteral(" of ") + QString::number(pages);
}

QString printRuleLine() {
    return kIndent + QString(84, u'=') + u' ';
}

QString printEntryLine(const QString& displayLine) {
    return kIndent + displayLine;
}

QString printClosingLine() {
    return kIndent + QString(39, u'=') + QStringLiteral(" END ") + QString(40, u'=') + u' ';
}

bool printPlaylist(const QStringList& lines, const QString& dateText, PageSink& sink,
                   const std::function<bool()>& keepGoing) {
    const int pages = printPageCount(int(lines.size()));
    int page = 1;
    headBlock(sink, dateText, page, pages);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!keepGoing()) {
            sink.discard();
            return false;
        }
        sink.line(printEntryLine(lines.at(i)));
        const qsizetype printed = i + 1;
        if (printed % kPrintLinesPerPage == 0 && printed < lines.size()) {
            sink.newPage();
            headBlock(sink, dateText, ++page, pages);
        }
    }
    sink.line(QString());
    sink.line(printClosingLine());
    sink.finish();
    return true;
}

}  // namespace vx::playlist

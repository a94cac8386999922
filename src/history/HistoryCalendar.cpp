#include "HistoryCalendar.h"

#include "store/DurationText.h"

#include <QCryptographicHash>

namespace {

// TEXT as the format escapes it.
QString escaped(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u';', QStringLiteral("\\;")).replace(u',', QStringLiteral("\\,"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\\n")).replace(u'\n', QStringLiteral("\\n")).replace(u'\r', QStringLiteral("\\n"));
    // Other controls have no place in a content line.
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return text;
}

QString utcTime(const QDateTime &time)
{
    return time.toUTC().toString(QStringLiteral("yyyyMMddTHHmmssZ"));
}

// A content line, folded so that no line is longer than 75 octets, never inside a character.
QByteArray contentLine(const QString &line)
{
    const QByteArray utf8 = line.toUtf8();
    QByteArray folded;
    qsizetype start = 0;
    qsizetype room = 75;
    while (utf8.size() - start > room) {
        qsizetype cut = start + room;
        while (cut > start && (quint8(utf8.at(cut)) & 0xC0) == 0x80)
            --cut; // not inside a character's bytes
        folded += utf8.mid(start, cut - start) + "\r\n ";
        start = cut;
        room = 74; // the space that continues a line counts
    }
    return folded + utf8.mid(start) + "\r\n";
}

struct Run
{
    CategoryPath category;
    QDateTime start;
    QDateTime end;
    QList<std::pair<QString, double>> applications; // in the order they first came
};

} // namespace

QByteArray historyCalendar(const QList<HistoryCategories::Piece> &pieces, qint64 joinGapMs, const QDateTime &stamp)
{
    QList<Run> runs;
    for (const HistoryCategories::Piece &piece : pieces) {
        if (piece.classification.source == Classification::Source::Idle || piece.stretch.seconds <= 0.0)
            continue;
        const bool continues = !runs.isEmpty() && runs.constLast().category == piece.classification.category
                            && runs.constLast().end.msecsTo(piece.stretch.start) < joinGapMs;
        if (!continues)
            runs.append({piece.classification.category, piece.stretch.start, piece.stretch.end, {}});
        Run &run = runs.last();
        run.end = std::max(run.end, piece.stretch.end);
        const auto it = std::find_if(run.applications.begin(), run.applications.end(),
                                     [&](const auto &entry) { return entry.first == piece.stretch.application; });
        if (it != run.applications.end())
            it->second += piece.stretch.seconds;
        else
            run.applications.append({piece.stretch.application, piece.stretch.seconds});
    }

    // not translated: the file's lines are iCalendar's own; only the names in it are the user's.
    QByteArray text = contentLine(QStringLiteral("BEGIN:VCALENDAR")) + contentLine(QStringLiteral("VERSION:2.0"))
        + contentLine(QStringLiteral("PRODID:-//Kestrum//Kestrum//EN"))
        + contentLine(QStringLiteral("CALSCALE:GREGORIAN"));
    for (const Run &run : std::as_const(runs)) {
        const QString summary = categoryPathText(run.category);
        QStringList description;
        for (const auto &[application, seconds] : run.applications)
            description.append(QStringLiteral("%1 %2").arg(application, timeStringForDouble(seconds)));
        // The same run gets the same id in every export, so that a calendar that imports it
        // again replaces it rather than doubling it.
        const QByteArray id = QCryptographicHash::hash(summary.toUtf8() + '\n' + QByteArray::number(run.start.toMSecsSinceEpoch()),
                                                       QCryptographicHash::Sha1).toHex().left(20);
        text += contentLine(QStringLiteral("BEGIN:VEVENT"));
        text += contentLine(QStringLiteral("UID:%1@kestrum").arg(QString::fromLatin1(id))); // not translated: iCalendar content
        text += contentLine(QStringLiteral("DTSTAMP:") + utcTime(stamp));
        text += contentLine(QStringLiteral("DTSTART:") + utcTime(run.start));
        text += contentLine(QStringLiteral("DTEND:") + utcTime(run.end));
        text += contentLine(QStringLiteral("SUMMARY:") + escaped(summary));
        text += contentLine(QStringLiteral("DESCRIPTION:") + escaped(description.join(u'\n')));
        text += contentLine(QStringLiteral("TRANSP:TRANSPARENT"));
        text += contentLine(QStringLiteral("END:VEVENT"));
    }
    return text + contentLine(QStringLiteral("END:VCALENDAR"));
}

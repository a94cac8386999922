#include "DayRange.h"

#include "store/SafeText.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>

namespace {

const QString kFrom = QStringLiteral("--from");
const QString kTo = QStringLiteral("--to");

QString shown(const QString &value)
{
    return value.isEmpty() ? QStringLiteral("\"\"") : escapedText(value);
}

// The day `value` names; otherwise nothing, with the reason in `error`. Each message starts
// with the option (%1) and the value as given (%2).
std::optional<QDate> dayOf(const QString &option, const QString &value, QString *error)
{
    const auto fail = [&](const QString &message) {
        *error = message;
        return std::nullopt;
    };
    const QString given = shown(value);
    static const QRegularExpression form(QStringLiteral("^(-?[0-9]+)-([0-9]{2})-([0-9]{2})$"));
    const QRegularExpressionMatch match = form.match(value);
    if (!match.hasMatch())
        return fail(QCoreApplication::translate("DayRange", "%1 %2 is no day: days are written YYYY-MM-DD").arg(option, given));
    bool fits = false;
    qint64 year = match.captured(1).toLongLong(&fits);
    if (!fits)
        year = match.captured(1).startsWith(u'-') ? 0 : 10000;
    const int month = match.captured(2).toInt();
    const int day = match.captured(3).toInt();
    if (year < 1)
        return fail(QCoreApplication::translate("DayRange", "%1 %2 is before the first day there is, 0001-01-01").arg(option, given));
    if (year > 9999)
        return fail(QCoreApplication::translate("DayRange", "%1 %2 is after the last day there is, 9999-12-31").arg(option, given));
    if (match.captured(1).size() != 4)
        return fail(QCoreApplication::translate("DayRange", "%1 %2 is no day: days are written YYYY-MM-DD").arg(option, given));
    if (month < 1 || month > 12)
        return fail(QCoreApplication::translate("DayRange", "%1 %2 is no day: there is no month %3").arg(option, given, QString::number(month)));
    const QDate date(int(year), month, day);
    if (!date.isValid()) {
        const QDate firstOfMonth(int(year), month, 1);
        // The month is named in the language of the messages, which the translation names.
        const QLocale language(QCoreApplication::translate(
            "DayRange", "en", "the code of this translation's language (de, fr, ...): the month names are written in it"));
        return fail(QCoreApplication::translate("DayRange", "%1 %2 is no day: %3 %4 has %5 days")
                        .arg(option, given, language.monthName(month, QLocale::LongFormat), QString::number(year),
                             QString::number(firstOfMonth.daysInMonth())));
    }
    return date;
}

} // namespace

std::optional<DayRange> dayRange(const std::optional<QString> &from, const std::optional<QString> &to, QDate today, QString *error)
{
    DayRange range{today, today};
    if (from) {
        const std::optional<QDate> first = dayOf(kFrom, *from, error);
        if (!first)
            return std::nullopt;
        range.first = range.last = *first;
    }
    if (to) {
        const std::optional<QDate> last = dayOf(kTo, *to, error);
        if (!last)
            return std::nullopt;
        range.last = *last;
    }
    if (range.last < range.first) {
        *error = from ? QCoreApplication::translate("DayRange", "%1 %2 is before %3 %4").arg(kTo, *to, kFrom, *from)
                      : QCoreApplication::translate("DayRange", "%1 %2 is before the first day, today (%3): give %4 as well")
                            .arg(kTo, *to, today.toString(Qt::ISODate), kFrom);
        return std::nullopt;
    }
    return range;
}

#include "DayFile.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

namespace {

QString utcText(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

std::optional<QDateTime> utcTime(const QJsonValue &value)
{
    const QString text = value.toString();
    if (!text.endsWith(u'Z'))
        return std::nullopt;
    const QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    return time.isValid() ? std::optional(time.toUTC()) : std::nullopt;
}

QJsonArray pathArray(const CategoryPath &path)
{
    return QJsonArray::fromStringList(path);
}

std::optional<CategoryPath> pathOf(const QJsonValue &value)
{
    if (!value.isArray() || value.toArray().isEmpty())
        return std::nullopt;
    CategoryPath path;
    for (const QJsonValue &name : value.toArray()) {
        if (!name.isString() || name.toString().isEmpty())
            return std::nullopt;
        path.append(name.toString());
    }
    return path;
}

std::optional<StretchSource> sourceOf(const QString &name)
{
    for (const StretchSource source : {StretchSource::Recorded, StretchSource::Added, StretchSource::Answered, StretchSource::Corrected}) {
        if (stretchSourceName(source) == name)
            return source;
    }
    return std::nullopt;
}

// The object of one line, or why it is none.
std::optional<QJsonObject> objectOf(const QByteArray &line, QString *why)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(line, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *why = QCoreApplication::translate("DayFile", "not JSON (%1)").arg(parseError.errorString());
        return std::nullopt;
    }
    if (!document.isObject()) {
        *why = QCoreApplication::translate("DayFile", "not a JSON object");
        return std::nullopt;
    }
    return document.object();
}

} // namespace

QString DayFile::fileName(QDate day)
{
    return day.toString(Qt::ISODate) + QStringLiteral(".jsonl");
}

QByteArray DayFile::toJsonLines() const
{
    const auto line = [](const QJsonObject &object) { return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n'; };
    QByteArray text = line({{QStringLiteral("format"), kFormat}, {QStringLiteral("device"), device}, {QStringLiteral("day"), day.toString(Qt::ISODate)}});
    for (const Stretch &stretch : stretches) {
        QJsonObject object{{QStringLiteral("start"), utcText(stretch.start)},
                           {QStringLiteral("end"), utcText(stretch.end)},
                           {QStringLiteral("seconds"), stretch.seconds},
                           {QStringLiteral("application"), stretch.application},
                           {QStringLiteral("window"), stretch.window ? QJsonValue(*stretch.window) : QJsonValue(QJsonValue::Null)},
                           {QStringLiteral("source"), stretchSourceName(stretch.source)}};
        if (stretch.category)
            object.insert(QStringLiteral("category"), pathArray(*stretch.category));
        if (!stretch.note.isEmpty())
            object.insert(QStringLiteral("note"), stretch.note);
        text += line(object);
    }
    for (const Assignment &assignment : assignments) {
        text += line({{QStringLiteral("assignment"), QJsonObject{{QStringLiteral("start"), utcText(assignment.start)},
                                                                 {QStringLiteral("end"), utcText(assignment.end)},
                                                                 {QStringLiteral("category"), pathArray(assignment.category)},
                                                                 {QStringLiteral("made"), assignment.made}}}});
    }
    return text;
}

std::optional<DayFile> DayFile::fromJsonLines(const QByteArray &text, QString *error)
{
    const auto fail = [error](int line, const QString &why) {
        *error = tr("line %1: %2").arg(line).arg(why);
        return std::nullopt;
    };
    // A file cut short (a half-synced copy) ends without its last line's newline.
    if (!text.endsWith('\n'))
        return fail(int(text.count('\n')) + 1, tr("the file ends in the middle of a line"));
    const QList<QByteArray> lines = text.chopped(1).split('\n');
    QString why;
    const std::optional<QJsonObject> header = objectOf(lines.first(), &why);
    if (!header)
        return fail(1, why);
    const int format = header->value(QStringLiteral("format")).toInt(0);
    if (format > kFormat)
        return fail(1, tr("format %1 is newer than this Kestrum reads (%2)").arg(format).arg(kFormat));
    DayFile file;
    file.device = header->value(QStringLiteral("device")).toString();
    file.day = QDate::fromString(header->value(QStringLiteral("day")).toString(), Qt::ISODate);
    if (format < 1 || QUuid::fromString(file.device).isNull() || !file.day.isValid())
        return fail(1, tr("not the header of a day file (format, device and day)"));

    for (qsizetype i = 1; i < lines.size(); ++i) {
        const int number = int(i) + 1;
        const std::optional<QJsonObject> object = objectOf(lines.at(i), &why);
        if (!object)
            return fail(number, why);
        if (object->contains(QStringLiteral("assignment"))) {
            const QJsonObject made = object->value(QStringLiteral("assignment")).toObject();
            const std::optional<QDateTime> start = utcTime(made.value(QStringLiteral("start")));
            const std::optional<QDateTime> end = utcTime(made.value(QStringLiteral("end")));
            const std::optional<CategoryPath> category = pathOf(made.value(QStringLiteral("category")));
            if (!start || !end || *end < *start || !category)
                return fail(number, tr("an assignment needs a start, an end after it and a category"));
            // Where two overlap, the later made decides: the order is the writer's, across its days.
            const qint64 order = made.value(QStringLiteral("made")).toInteger(qint64(file.assignments.size() + 1));
            file.assignments.append({0, *start, *end, *category, order});
            continue;
        }
        Stretch stretch;
        const std::optional<QDateTime> start = utcTime(object->value(QStringLiteral("start")));
        const std::optional<QDateTime> end = utcTime(object->value(QStringLiteral("end")));
        const QJsonValue seconds = object->value(QStringLiteral("seconds"));
        const QJsonValue application = object->value(QStringLiteral("application"));
        const QJsonValue window = object->value(QStringLiteral("window"));
        const std::optional<StretchSource> source = sourceOf(object->value(QStringLiteral("source")).toString());
        if (!start || !end || *end < *start || !seconds.isDouble() || seconds.toDouble() < 0 || !application.isString()
            || application.toString().isEmpty() || !(window.isString() || window.isNull()) || !source)
            return fail(number, tr("a stretch needs a start, an end after it, its seconds, an application, a window or null "
                                   "and its source"));
        stretch.start = *start;
        stretch.end = *end;
        stretch.seconds = seconds.toDouble();
        stretch.application = application.toString();
        if (window.isString())
            stretch.window = window.toString();
        stretch.source = *source;
        if (object->contains(QStringLiteral("category"))) {
            stretch.category = pathOf(object->value(QStringLiteral("category")));
            if (!stretch.category)
                return fail(number, tr("a category is a list of names"));
        }
        stretch.note = object->value(QStringLiteral("note")).toString();
        file.stretches.append(stretch);
    }
    return file;
}

QString DayManifest::checksum(const QByteArray &contents)
{
    return QStringLiteral("sha256:") + QString::fromLatin1(QCryptographicHash::hash(contents, QCryptographicHash::Sha256).toHex());
}

QByteArray DayManifest::toJson() const
{
    QJsonObject checksums;
    for (auto it = days.cbegin(); it != days.cend(); ++it)
        checksums.insert(it.key().toString(Qt::ISODate), it.value());
    return QJsonDocument(QJsonObject{{QStringLiteral("format"), kFormat},
                                     {QStringLiteral("device"), device},
                                     {QStringLiteral("name"), name},
                                     {QStringLiteral("windowTitles"), windowTitles},
                                     {QStringLiteral("days"), checksums}})
               .toJson(QJsonDocument::Indented);
}

std::optional<DayManifest> DayManifest::fromJson(const QByteArray &text, QString *error)
{
    QString why;
    const std::optional<QJsonObject> object = objectOf(text, &why);
    if (!object) {
        *error = why;
        return std::nullopt;
    }
    const int format = object->value(QStringLiteral("format")).toInt(0);
    if (format > kFormat) {
        *error = QCoreApplication::translate("DayFile", "format %1 is newer than this Kestrum reads (%2)").arg(format).arg(kFormat);
        return std::nullopt;
    }
    DayManifest manifest;
    manifest.device = object->value(QStringLiteral("device")).toString();
    manifest.name = object->value(QStringLiteral("name")).toString();
    manifest.windowTitles = object->value(QStringLiteral("windowTitles")).toBool(true);
    if (format < 1 || QUuid::fromString(manifest.device).isNull() || !object->value(QStringLiteral("days")).isObject()) {
        *error = QCoreApplication::translate("DayFile", "not a manifest (format, device and days)");
        return std::nullopt;
    }
    const QJsonObject days = object->value(QStringLiteral("days")).toObject();
    for (auto it = days.begin(); it != days.end(); ++it) {
        const QDate day = QDate::fromString(it.key(), Qt::ISODate);
        if (!day.isValid() || !it.value().toString().startsWith(QStringLiteral("sha256:"))) {
            *error = QCoreApplication::translate("DayFile", "the day \"%1\" has no checksum of the form sha256:…").arg(it.key());
            return std::nullopt;
        }
        manifest.days.insert(day, it.value().toString());
    }
    return manifest;
}

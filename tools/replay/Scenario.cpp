#include "Scenario.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QLocale>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

using Action = ScenarioStep::Action;

const QList<std::pair<QString, Action>> &actionNames()
{
    static const QList<std::pair<QString, Action>> names = {
        {QStringLiteral("settings"), Action::Settings}, {QStringLiteral("front"), Action::Front},
        {QStringLiteral("window"), Action::Window},     {QStringLiteral("title"), Action::Title},
        {QStringLiteral("input"), Action::Input},       {QStringLiteral("button"), Action::Button},
        {QStringLiteral("power"), Action::Power},       {QStringLiteral("session"), Action::Session},
        {QStringLiteral("accessibility"), Action::Accessibility}, {QStringLiteral("clear"), Action::Clear},
        {QStringLiteral("open"), Action::Open},         {QStringLiteral("save"), Action::Save},
        {QStringLiteral("inhibitIdle"), Action::InhibitIdle}, {QStringLiteral("answerAway"), Action::AnswerAway},
        {QStringLiteral("forget"), Action::Forget},
        {QStringLiteral("end"), Action::End},
    };
    return names;
}

// Process and window ids are whole numbers that a double holds exactly.
constexpr double kLargestId = 9007199254740992.0; // 2^53

bool isInteger(const QJsonValue &v)
{
    return v.isDouble() && std::abs(v.toDouble()) <= kLargestId && std::trunc(v.toDouble()) == v.toDouble();
}

// A number as the scenario wrote it, as far as a double holds it: 1e+10, 315360001, -5.
QString numberText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// The word of `line` at `offset`, where a JSON error was found: the number or name it is in.
QByteArray wordAt(const QByteArray &line, qsizetype offset)
{
    const auto inWord = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '+' || c == '-'; };
    qsizetype begin = std::clamp<qsizetype>(offset, 0, line.size());
    qsizetype end = begin;
    while (begin > 0 && inWord(line.at(begin - 1)))
        --begin;
    while (end < line.size() && inWord(line.at(end)))
        ++end;
    return line.mid(begin, end - begin);
}

// Why `at` cannot be a step's time, or nothing.
QString checkTime(const QJsonValue &at)
{
    if (!at.isDouble())
        return QCoreApplication::translate("Scenario", "\"at\" must be a number of seconds, 0 or more");
    const double seconds = at.toDouble();
    if (!std::isfinite(seconds) || seconds < 0)
        return QCoreApplication::translate("Scenario", "\"at\" is %1: it must be a number of seconds, 0 or more").arg(numberText(seconds));
    if (seconds > kLongestScenarioSeconds)
        return QCoreApplication::translate("Scenario", "\"at\" is %1 seconds, beyond the longest a scenario may run: ten years of virtual "
                                                       "time (%2 seconds)")
            .arg(numberText(seconds), numberText(kLongestScenarioSeconds));
    return {};
}

bool isTextList(const QJsonValue &v)
{
    if (!v.isArray())
        return false;
    const QJsonArray list = v.toArray();
    return std::all_of(list.begin(), list.end(), [](const QJsonValue &item) { return item.isString(); });
}

bool isTextOrNull(const QJsonValue &v)
{
    return v.isString() || v.isNull();
}

// Checks an action's value; answers what is wrong with it, or nothing.
QString checkValue(Action action, const QJsonValue &v)
{
    const QJsonObject o = v.toObject();
    switch (action) {
    case Action::Settings:
        return v.isObject() ? QString() : QCoreApplication::translate("Scenario", "\"settings\" takes an object of setting keys and values");
    case Action::Front:
        if (!v.isObject() || !isInteger(o.value(QStringLiteral("pid"))) || !isTextOrNull(o.value(QStringLiteral("name")))
            || !(o.value(QStringLiteral("accessible")).isBool() || o.value(QStringLiteral("accessible")).isUndefined()))
            return QCoreApplication::translate("Scenario", "\"front\" takes {\"name\": text or null, \"pid\": integer, \"accessible\": boolean}");
        return {};
    case Action::Window:
        if (!v.isObject() || !isInteger(o.value(QStringLiteral("pid")))
            || !(isInteger(o.value(QStringLiteral("id"))) || o.value(QStringLiteral("id")).isNull())
            || !isTextOrNull(o.value(QStringLiteral("title"))))
            return QCoreApplication::translate("Scenario", "\"window\" takes {\"pid\": integer, \"id\": integer or null, \"title\": text or null}");
        if (isInteger(o.value(QStringLiteral("id"))) && o.value(QStringLiteral("id")).toDouble() <= 0)
            return QCoreApplication::translate("Scenario", "a window id is a positive integer");
        return {};
    case Action::Title:
        if (!v.isObject() || !isInteger(o.value(QStringLiteral("id"))) || o.value(QStringLiteral("id")).toDouble() <= 0
            || !isTextOrNull(o.value(QStringLiteral("title"))))
            return QCoreApplication::translate("Scenario", "\"title\" takes {\"id\": positive integer, \"title\": text or null}");
        return {};
    case Action::Input:
    case Action::Button:
    case Action::Clear:
    case Action::End:
        return v == QJsonValue(true) ? QString() : QCoreApplication::translate("Scenario", "this action takes the value true");
    case Action::Power: {
        const QString s = v.toString();
        return s == u"can-sleep" || s == u"will-sleep" || s == u"will-not-sleep" || s == u"powered-on"
            ? QString()
            : QCoreApplication::translate("Scenario", "\"power\" takes \"can-sleep\", \"will-sleep\", \"will-not-sleep\" or \"powered-on\"");
    }
    case Action::Session:
        return v.toString() == u"resign" || v.toString() == u"active" ? QString()
                                                                      : QCoreApplication::translate("Scenario", "\"session\" takes \"resign\" or \"active\"");
    case Action::Accessibility:
        return v.isBool() ? QString() : QCoreApplication::translate("Scenario", "\"accessibility\" takes true or false");
    case Action::Open:
    case Action::Save:
        return v.isString() && !v.toString().isEmpty() ? QString() : QCoreApplication::translate("Scenario", "this action takes a file path");
    case Action::InhibitIdle:
        return isTextList(v) ? QString() : QCoreApplication::translate("Scenario", "\"inhibitIdle\" takes a list of who holds idle inhibitors ([]: none)");
    case Action::AnswerAway: {
        const QJsonValue label = o.value(QStringLiteral("label"));
        const QJsonValue category = o.value(QStringLiteral("category"));
        const QJsonValue keepIdle = o.value(QStringLiteral("keepIdle"));
        const bool answers = label.isString() && !label.toString().trimmed().isEmpty()
            && (category.isUndefined() || (isTextList(category) && !category.toArray().isEmpty())) && keepIdle.isUndefined();
        const bool keeps = keepIdle == QJsonValue(true) && label.isUndefined() && category.isUndefined();
        return v.isObject() && (answers || keeps)
            ? QString()
            : QCoreApplication::translate("Scenario", "\"answerAway\" takes {\"label\": text, \"category\": [names]} or {\"keepIdle\": true}");
    }
    case Action::Forget: {
        const QDateTime from = QDateTime::fromString(o.value(QStringLiteral("from")).toString(), Qt::ISODate);
        const QDateTime to = QDateTime::fromString(o.value(QStringLiteral("to")).toString(), Qt::ISODate);
        const QJsonValue application = o.value(QStringLiteral("application"));
        return v.isObject() && from.isValid() && to.isValid() && from < to
                && (application.isUndefined() || (application.isString() && !application.toString().isEmpty()))
            ? QString()
            : QCoreApplication::translate("Scenario", "\"forget\" takes {\"from\": local time, \"to\": a later one, \"application\": a name or nothing}");
    }
    }
    return {};
}

} // namespace

std::optional<Scenario> parseScenario(const QByteArray &text, QString *error)
{
    Scenario scenario;
    double previousAt = 0.0;
    bool seenStep = false;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        const QByteArray line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const auto fail = [&](const QString &what) {
            if (error)
                *error = QCoreApplication::translate("Scenario", "line %1: %2").arg(lineNumber).arg(what);
            return std::nullopt;
        };

        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(line, &parseError);
        if (parseError.error != QJsonParseError::NoError) {
            const QByteArray word = wordAt(line, parseError.offset);
            return fail(word.isEmpty() ? QCoreApplication::translate("Scenario", "not JSON (%1)").arg(parseError.errorString())
                                       : QCoreApplication::translate("Scenario", "not JSON (%1 at \"%2\")").arg(parseError.errorString(), QString::fromUtf8(word)));
        }
        if (!document.isObject())
            return fail(QCoreApplication::translate("Scenario", "each line is one JSON object"));
        const QJsonObject object = document.object();

        if (object.contains(QStringLiteral("wall"))) {
            if (seenStep || object.size() != 1)
                return fail(QCoreApplication::translate("Scenario", "{\"wall\": ...} stands alone, before every other line"));
            const QDateTime wall = QDateTime::fromString(object.value(QStringLiteral("wall")).toString(), Qt::ISODate);
            if (!wall.isValid())
                return fail(QCoreApplication::translate("Scenario", "\"wall\" takes a local date and time such as \"2026-01-05T09:00:00\""));
            scenario.wallStart = wall;
            seenStep = true;
            continue;
        }
        seenStep = true;

        const QJsonValue at = object.value(QStringLiteral("at"));
        if (const QString wrong = checkTime(at); !wrong.isEmpty())
            return fail(wrong);
        if (at.toDouble() < previousAt)
            return fail(QCoreApplication::translate("Scenario", "\"at\" is %1, earlier than the line before (%2)").arg(at.toDouble()).arg(previousAt));
        previousAt = at.toDouble();

        std::optional<ScenarioStep> step;
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (it.key() == u"at")
                continue;
            const auto known = std::find_if(actionNames().begin(), actionNames().end(),
                                            [&](const auto &name) { return name.first == it.key(); });
            if (known == actionNames().end())
                return fail(QCoreApplication::translate("Scenario", "unknown action \"%1\"").arg(it.key()));
            if (step)
                return fail(QCoreApplication::translate("Scenario", "a line holds exactly one action"));
            const QString wrong = checkValue(known->second, it.value());
            if (!wrong.isEmpty())
                return fail(wrong);
            step = ScenarioStep{lineNumber, at.toDouble(), known->second, it.value()};
        }
        if (!step)
            return fail(QCoreApplication::translate("Scenario", "the line holds no action"));
        scenario.steps.append(*step);
    }
    return scenario;
}

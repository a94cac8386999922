#include "Classifier.h"

#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCategories, "kestrum.categories")

namespace {

// How much backtracking one match may take before it counts as no match: some milliseconds on
// a title of 100 kB, however the pattern is written.
const QString kLimits = QStringLiteral("(*LIMIT_MATCH=200000)(*LIMIT_DEPTH=20000)(*LIMIT_HEAP=20000)");

} // namespace

bool Classifier::namesIdle(const CategoryRule &rule)
{
    return rule.field != CategoryRule::Field::Window && rule.match == CategoryRule::Match::Is
        && rule.pattern.compare(kIdle, rule.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

const QString Classifier::kUncategorized = QLatin1String(QT_TRANSLATE_NOOP("Classifier", "Uncategorized"));
const QString Classifier::kIdle = QStringLiteral("Idle"); // not translated: the stored entry name of time away

QString Classification::explanation() const
{
    // not translated: kestrum-report's CSV and JSON carry these texts; shownExplanation() is the user's
    switch (source) {
    case Source::Rule:
        return QStringLiteral("rule %1: %2").arg(rule + 1).arg(ruleText); // not translated: as above
    case Source::Assignment:
        return ruleText.isEmpty() ? QStringLiteral("assigned") : ruleText; // not translated: as above
    case Source::Idle:
    case Source::Uncategorized:
        break;
    }
    return QStringLiteral("no rule"); // not translated: as above
}

QString Classification::shownExplanation() const
{
    const QString shown = shownRuleText.isEmpty() ? ruleText : shownRuleText;
    switch (source) {
    case Source::Rule:
        return QCoreApplication::translate("Classifier", "rule %1: %2").arg(QString::number(rule + 1), shown);
    case Source::Assignment:
        return shown.isEmpty() ? QCoreApplication::translate("Classifier", "assigned") : shown;
    case Source::Idle:
    case Source::Uncategorized:
        break;
    }
    return QCoreApplication::translate("Classifier", "no rule");
}

Classifier::Classifier(CategorySet set)
    : m_set(std::move(set))
{
    m_set.checkRules();
    for (const CategoryRule &rule : m_set.rules) {
        m_expressions.append(rule.match == CategoryRule::Match::Regex && rule.problem.isEmpty() ? expressionFor(rule) : QRegularExpression());
        if (!m_expressions.constLast().pattern().isEmpty())
            m_expressions.last().optimize();
        m_ruleTexts.append({rule.text(), rule.shownText()});
    }
}

QRegularExpression Classifier::expressionFor(const CategoryRule &rule)
{
    QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
    if (!rule.caseSensitive)
        options |= QRegularExpression::CaseInsensitiveOption;
    // The engine's message and offset must be the user's pattern's, not those of the limits.
    const QRegularExpression plain(rule.pattern, options);
    if (!plain.isValid())
        return plain;
    return QRegularExpression(kLimits + rule.pattern, options);
}

bool Classifier::matchesName(const CategoryRule &rule, const QRegularExpression &expression, const QString &name, bool *limited)
{
    const Qt::CaseSensitivity sensitivity = rule.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    switch (rule.match) {
    case CategoryRule::Match::Contains:
        return name.contains(rule.pattern, sensitivity);
    case CategoryRule::Match::Is:
        return name.compare(rule.pattern, sensitivity) == 0;
    case CategoryRule::Match::Regex: {
        const QRegularExpressionMatch match = expression.match(name);
        // An engine that gave up (its limits, say) answers with no valid match.
        if (!match.isValid() && limited)
            *limited = true;
        return match.hasMatch();
    }
    }
    return false;
}

const QBitArray &Classifier::rulesMatching(const QString &name)
{
    const auto known = m_names.constFind(name);
    if (known != m_names.cend())
        return *known;
    QBitArray matching(m_set.rules.size());
    for (qsizetype i = 0; i < m_set.rules.size(); ++i) {
        const CategoryRule &rule = m_set.rules.at(i);
        if (!rule.problem.isEmpty())
            continue;
        bool limited = false;
        matching.setBit(i, matchesName(rule, m_expressions.at(i), name, &limited));
        if (limited && !m_hitLimits) {
            m_hitLimits = true;
            qCWarning(lcCategories).noquote() << QStringLiteral("rule %1 (%2) ran into the limits of the regular expression engine on a name "
                                                                "of %3 characters: counted as no match")
                                                     .arg(i + 1)
                                                     .arg(rule.text())
                                                     .arg(name.size());
        }
    }
    return *m_names.insert(name, matching);
}

Classification Classifier::classify(const QString &application, const std::optional<QString> &window)
{
    const Names key{application, window};
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.cend())
        return *cached;

    Classification result;
    const QBitArray byApplication = rulesMatching(application);
    const QBitArray byWindow = window ? rulesMatching(*window) : QBitArray(m_set.rules.size());
    // Time away stays "Idle" unless a rule names it as the application it is: a rule that
    // happens to match the word "Idle" does not take it.
    const bool idle = application == kIdle && !window;
    for (qsizetype i = 0; i < m_set.rules.size(); ++i) {
        const CategoryRule &rule = m_set.rules.at(i);
        if (idle && !namesIdle(rule))
            continue;
        const bool matched = (rule.field != CategoryRule::Field::Window && byApplication.testBit(i))
                          || (rule.field != CategoryRule::Field::Application && byWindow.testBit(i));
        if (matched) {
            result = {Classification::Source::Rule, rule.category, int(i), m_ruleTexts.at(i).first, m_ruleTexts.at(i).second};
            break;
        }
    }
    if (result.source != Classification::Source::Rule) {
        result.source = application == kIdle ? Classification::Source::Idle : Classification::Source::Uncategorized;
        result.category = {application == kIdle ? kIdle : kUncategorized};
    }
    m_cache.insert(key, result);
    return result;
}

const Classification &Classifier::classify(const QString &source, qint64 application, qint64 window, const QString &applicationName,
                                           const std::optional<QString> &windowName)
{
    if (source != m_idSource) {
        m_idSource = source;
        m_byIds.clear();
    }
    const std::pair<qint64, qint64> key{application, window};
    auto it = m_byIds.find(key);
    if (it == m_byIds.end())
        it = m_byIds.insert(key, classify(applicationName, windowName));
    return *it;
}

#pragma once

#include "CategorySet.h"

#include <QBitArray>
#include <QHash>
#include <QRegularExpression>

#include <optional>

// Where a stretch's time belongs, and what put it there.
struct Classification
{
    enum class Source { Rule, Assignment, Uncategorized, Idle };
    Source source = Source::Uncategorized;
    CategoryPath category; // "Uncategorized" and "Idle" as one-name paths of their own
    int rule = -1;         // Rule: its index in the list
    QString ruleText;      // Rule: its text; Assignment: how it was given. In English
    QString shownRuleText{}; // the same in the user's language; empty: ruleText is shown

    // "rule 3: window contains \"kestrum\"", "assigned", "no rule": in English, as kestrum-report
    // writes it into its CSV and JSON.
    QString explanation() const;
    // The same in the user's language, for windows and tooltips.
    QString shownExplanation() const;
    bool operator==(const Classification &other) const = default;
};

// Sorts applications and windows into categories by a set's rules. Each distinct name is matched
// against the rules once, and what was decided is kept per application and window, so that a
// history of a million stretches costs as many matches as it has distinct names. One
// classifier belongs to one thread.
class Classifier
{
public:
    // The paths of time no rule takes and of time away. They stay English wherever a path is
    // kept or written; "Uncategorized" is marked so that a window can show it translated.
    static const QString kUncategorized; // "Uncategorized"
    static const QString kIdle;          // "Idle", the stored entry of time away

    explicit Classifier(CategorySet set = {});

    const CategorySet &set() const { return m_set; }
    Classification classify(const QString &application, const std::optional<QString> &window);
    // The same for a reader that knows its names by ids of its own (the history names them so):
    // what the pair of ids was sorted into is kept by ids too, so that reading the same names
    // again costs no hashing of their text. `source` says whose ids they are (the history's
    // file); another source's ids are never mixed in.
    const Classification &classify(const QString &source, qint64 application, qint64 window, const QString &applicationName,
                                   const std::optional<QString> &windowName);
    // Whether a regular expression ran into the engine's limits on some name, counted as no
    // match: for the editor to say so.
    bool hitLimits() const { return m_hitLimits; }

    // Whether `rule`'s pattern matches `name`, whatever field the rule looks at; `limited` is
    // set when its expression gave up on it.
    static bool matchesName(const CategoryRule &rule, const QRegularExpression &expression, const QString &name, bool *limited = nullptr);
    // Whether a rule claims time away: it must say `application is "Idle"`.
    static bool namesIdle(const CategoryRule &rule);
    // The expression a regex rule is matched with, bounded so that no pattern and no title can
    // keep it busy for long; invalid (with the engine's message) when the pattern does not compile.
    static QRegularExpression expressionFor(const CategoryRule &rule);

private:
    // Which rules' patterns a name matches, whatever field the rule looks at.
    const QBitArray &rulesMatching(const QString &name);

    CategorySet m_set;
    QHash<QString, QBitArray> m_names;
    QList<QRegularExpression> m_expressions; // per rule; empty for rules that are no regex
    QList<std::pair<QString, QString>> m_ruleTexts; // per rule: its text, in English and as shown
    struct Names
    {
        QString application;
        std::optional<QString> window;
        bool operator==(const Names &other) const = default;
        friend size_t qHash(const Names &names, size_t seed = 0)
        {
            return qHashMulti(seed, names.application, names.window.value_or(QString()), names.window.has_value());
        }
    };
    QHash<Names, Classification> m_cache;
    QString m_idSource;
    QHash<std::pair<qint64, qint64>, Classification> m_byIds;
    bool m_hitLimits = false;
};

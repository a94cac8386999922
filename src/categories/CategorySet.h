#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A category's path of names from the top of the tree: {"Work", "Kestrum"}.
using CategoryPath = QStringList;

// "Work ▸ Kestrum", as the user reads a path.
QString categoryPathText(const CategoryPath &path);
// A path as typed: "Work ▸ Kestrum", or "Work/Kestrum" where no " ▸ " is typed.
CategoryPath categoryPathFromText(const QString &text);

struct Category
{
    CategoryPath path;
    QString colour;       // "#rrggbb"
    QJsonObject unknown;  // keys of later versions, written back as they were
    int line = 0;         // where it stands in the file it was read from
};

// When a stretch's application, window or either matches a pattern, its time belongs to a
// category. The first rule of the list that matches decides.
struct CategoryRule
{
    enum class Field { Application, Window, Either };
    enum class Match { Contains, Is, Regex };
    CategoryPath category;
    Field field = Field::Window;
    Match match = Match::Contains;
    QString pattern;
    bool caseSensitive = false;
    QJsonObject unknown;
    int line = 0;
    QString problem; // why the rule is not used (an invalid pattern, an unknown category)
    // A rule of the file that is not a rule at all (a field missing, say): kept as it was, so
    // that it keeps its place and number and a save from the editor writes it back unchanged.
    std::optional<QJsonValue> unusable;

    static CategoryRule of(const CategoryPath &category, Field field, Match match, const QString &pattern, bool caseSensitive = false)
    {
        CategoryRule rule;
        rule.category = category;
        rule.field = field;
        rule.match = match;
        rule.pattern = pattern;
        rule.caseSensitive = caseSensitive;
        return rule;
    }
    // `window contains "kestrum"`, as the rule explains a stretch: in English, as kestrum-report
    // writes it into its CSV and JSON and the log quotes it.
    QString text() const;
    // The same in the user's language, for windows: `window contains “kestrum”`.
    QString shownText() const;
    bool operator==(const CategoryRule &other) const;
};

// One thing wrong with a categories file, and the line it is on (0: the file as a whole).
struct CategoryProblem
{
    int line = 0;
    QString what;
    bool unreadable = false; // nothing of the file could be used: it is no categories file
};

// The categories and the ordered rules, as kept in categories.json:
//   {"version": 1, "categories": [{"path": [...], "colour": "#rrggbb"}, ...],
//    "rules": [{"category": [...], "field": "window", "match": "contains", "pattern": "..."}, ...]}
// Reading keeps whatever can be used and says what cannot; writing keeps the keys it does not
// know, so that a file of a later version loses nothing by passing through this one.
class CategorySet
{
    Q_DECLARE_TR_FUNCTIONS(CategorySet)

public:
    static constexpr int kVersion = 1;

    int version = kVersion; // a later version's file keeps its number when it is written again
    QList<Category> categories;
    QList<CategoryRule> rules;
    QJsonObject unknown;

    // What a new user starts with: development, communication, web, office, media.
    static CategorySet defaults();
    // Reads the file's text; `problems` says, by line, what was left out and why. A text that
    // is no categories file at all gives an empty set and one problem.
    static CategorySet fromJson(const QByteArray &text, QList<CategoryProblem> *problems);
    QByteArray toJson() const;

    // The category of `path`, declared or implied by a deeper one; null when there is none.
    const Category *category(const CategoryPath &path) const;
    // Every path of the tree, parents implied by their children included, parents first.
    QList<CategoryPath> allPaths() const;
    // The colour to show for `path`: its own, else its nearest declared parent's, else one
    // chosen from its name.
    QString colour(const CategoryPath &path) const;
    // Marks the rules that cannot be used (invalid patterns, unknown categories) with why.
    void checkRules(QList<CategoryProblem> *problems = nullptr);
    // Takes out every category and rule that came from the default set.
    void removeDefaults();

    bool operator==(const CategorySet &other) const;
};

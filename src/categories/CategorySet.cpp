#include "CategorySet.h"

#include "Classifier.h"

#include <QCoreApplication>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>

namespace {

const QString kSeparator = QStringLiteral(" \u25B8 ");

int lineAt(const QByteArray &text, qsizetype offset)
{
    return int(text.left(offset).count('\n')) + 1;
}

// The line on which each element of the top-level array `key` starts: JSON itself keeps no
// positions, and the user must be told which line holds the rule that cannot be used.
QList<int> elementLines(const QByteArray &text, const QByteArray &key)
{
    QList<int> lines;
    int line = 1;
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    bool inTarget = false;
    bool expectElement = false;
    QByteArray lastString;
    qsizetype stringStart = 0;
    QByteArray pendingKey;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '\n')
            ++line;
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"') {
                inString = false;
                lastString = text.mid(stringStart, i - stringStart);
            }
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        if (inTarget && depth == 2 && expectElement && c != ']') {
            lines.append(line);
            expectElement = false;
        }
        switch (c) {
        case '"':
            inString = true;
            stringStart = i + 1;
            break;
        case ':':
            if (depth == 1)
                pendingKey = lastString;
            break;
        case '{':
        case '[':
            ++depth;
            if (depth == 2 && c == '[' && pendingKey == key) {
                inTarget = true;
                expectElement = true;
            }
            break;
        case '}':
        case ']':
            if (depth == 2 && inTarget)
                inTarget = false;
            --depth;
            break;
        case ',':
            if (depth == 2 && inTarget)
                expectElement = true;
            else if (depth == 1)
                pendingKey.clear();
            break;
        default:
            break;
        }
    }
    return lines;
}

std::optional<CategoryPath> pathValue(const QJsonValue &value)
{
    if (!value.isArray() || value.toArray().isEmpty())
        return std::nullopt;
    CategoryPath path;
    for (const QJsonValue &name : value.toArray()) {
        if (!name.isString() || name.toString().trimmed().isEmpty())
            return std::nullopt;
        path.append(name.toString());
    }
    return path;
}

// A value alone is no JSON document: it goes out as the one element of a list.
QByteArray jsonText(const QJsonValue &value)
{
    return QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).chopped(1).mid(1);
}

QJsonArray pathArray(const CategoryPath &path)
{
    return QJsonArray::fromStringList(path);
}

const QList<std::pair<QString, CategoryRule::Field>> kFields = {{QStringLiteral("application"), CategoryRule::Field::Application},
                                                                 {QStringLiteral("window"), CategoryRule::Field::Window},
                                                                 {QStringLiteral("either"), CategoryRule::Field::Either}};
const QList<std::pair<QString, CategoryRule::Match>> kMatches = {{QStringLiteral("contains"), CategoryRule::Match::Contains},
                                                                  {QStringLiteral("is"), CategoryRule::Match::Is},
                                                                  {QStringLiteral("regex"), CategoryRule::Match::Regex}};

template <typename Enum>
std::optional<Enum> enumValue(const QList<std::pair<QString, Enum>> &names, const QString &name)
{
    for (const auto &[text, value] : names) {
        if (text == name)
            return value;
    }
    return std::nullopt;
}

template <typename Enum>
QString enumName(const QList<std::pair<QString, Enum>> &names, Enum value)
{
    for (const auto &[text, named] : names) {
        if (named == value)
            return text;
    }
    return {};
}

template <typename Enum>
QStringList names(const QList<std::pair<QString, Enum>> &named)
{
    QStringList result;
    for (const auto &[text, value] : named)
        result.append(text);
    return result;
}

QString quotedList(const QStringList &names)
{
    return QCoreApplication::translate("CategorySet", "\"%1\" or \"%2\"").arg(names.mid(0, names.size() - 1).join(QStringLiteral("\", \"")), names.constLast());
}

const QStringList kCategoryKeys = {QStringLiteral("path"), QStringLiteral("colour")};
const QStringList kRuleKeys = {QStringLiteral("category"), QStringLiteral("field"), QStringLiteral("match"),
                               QStringLiteral("pattern"), QStringLiteral("caseSensitive")};
const QStringList kTopKeys = {QStringLiteral("version"), QStringLiteral("categories"), QStringLiteral("rules")};

QJsonObject unknownKeys(QJsonObject object, const QStringList &known)
{
    for (const QString &key : known)
        object.remove(key);
    return object;
}

bool isColour(const QString &text)
{
    static const QRegularExpression colour(QStringLiteral("^#[0-9a-fA-F]{6}$"));
    return colour.match(text).hasMatch();
}

} // namespace

QString categoryPathText(const CategoryPath &path)
{
    return path.join(kSeparator);
}

CategoryPath categoryPathFromText(const QString &text)
{
    const QString separator = text.contains(kSeparator.trimmed()) ? kSeparator.trimmed() : QStringLiteral("/");
    CategoryPath path;
    for (const QString &name : text.split(separator, Qt::SkipEmptyParts)) {
        if (!name.trimmed().isEmpty())
            path.append(name.trimmed());
    }
    return path;
}

QString CategoryRule::text() const
{
    // not translated: kestrum-report's CSV and JSON carry this text; shownText() is the user's
    QString matchText = match == Match::Contains ? QStringLiteral("contains") : match == Match::Is ? QStringLiteral("is") : QStringLiteral("matches");
    return QStringLiteral("%1 %2 \"%3\"%4").arg(enumName(kFields, field), matchText, pattern,
                                                caseSensitive ? QStringLiteral(" (case-sensitive)") : QString()); // not translated: as above
}

QString CategoryRule::shownText() const
{
    const auto translated = [](const char *text) { return QCoreApplication::translate("CategorySet", text); };
    const char *sentence = nullptr;
    switch (field) {
    case Field::Application:
        sentence = match == Match::Contains ? QT_TRANSLATE_NOOP("CategorySet", "application contains \"%1\"")
            : match == Match::Is            ? QT_TRANSLATE_NOOP("CategorySet", "application is \"%1\"")
                                            : QT_TRANSLATE_NOOP("CategorySet", "application matches \"%1\"");
        break;
    case Field::Window:
        sentence = match == Match::Contains ? QT_TRANSLATE_NOOP("CategorySet", "window contains \"%1\"")
            : match == Match::Is            ? QT_TRANSLATE_NOOP("CategorySet", "window is \"%1\"")
                                            : QT_TRANSLATE_NOOP("CategorySet", "window matches \"%1\"");
        break;
    case Field::Either:
        sentence = match == Match::Contains ? QT_TRANSLATE_NOOP("CategorySet", "either contains \"%1\"")
            : match == Match::Is            ? QT_TRANSLATE_NOOP("CategorySet", "either is \"%1\"")
                                            : QT_TRANSLATE_NOOP("CategorySet", "either matches \"%1\"");
        break;
    }
    const QString shown = translated(sentence).arg(pattern);
    return caseSensitive ? QCoreApplication::translate("CategorySet", "%1 (case-sensitive)").arg(shown) : shown;
}

bool CategoryRule::operator==(const CategoryRule &other) const
{
    return category == other.category && field == other.field && match == other.match && pattern == other.pattern
        && caseSensitive == other.caseSensitive && unknown == other.unknown && unusable == other.unusable;
}

CategorySet CategorySet::defaults()
{
    // Application names as desktop entries give them, matched as whole words.
    const auto rule = [](const QString &category, const QString &pattern) {
        return CategoryRule::of({category}, CategoryRule::Field::Application, CategoryRule::Match::Regex,
                                QStringLiteral("\\b(") + pattern + QStringLiteral(")\\b"));
    };
    // The names stay English wherever a path is kept (categories.json, the history's assignments,
    // the shared folder, kestrum-report's output), so that no path changes with the language; they
    // are marked so that a window can show them in the user's.
    const QString development = QLatin1String(QT_TRANSLATE_NOOP("CategorySet", "Development"));
    const QString communication = QLatin1String(QT_TRANSLATE_NOOP("CategorySet", "Communication"));
    const QString web = QLatin1String(QT_TRANSLATE_NOOP("CategorySet", "Web"));
    const QString office = QLatin1String(QT_TRANSLATE_NOOP("CategorySet", "Office"));
    const QString media = QLatin1String(QT_TRANSLATE_NOOP("CategorySet", "Media"));
    CategorySet set;
    set.categories = {{{development}, QStringLiteral("#3d7edb"), {}, 0},
                      {{communication}, QStringLiteral("#d9822b"), {}, 0},
                      {{web}, QStringLiteral("#2e9e6a"), {}, 0},
                      {{office}, QStringLiteral("#8e5cc2"), {}, 0},
                      {{media}, QStringLiteral("#c2455c"), {}, 0}};
    set.rules = {
        rule(development,
             QStringLiteral("code|codium|emacs|g?vim|neovim|kate|gedit|text editor|mousepad|kdevelop|qt ?creator|builder|intellij|idea|pycharm|clion|"
                            "eclipse|terminal|konsole|xterm|alacritty|kitty|foot|tilix|meld|gitg|git")),
        rule(communication,
             QStringLiteral("thunderbird|evolution|geary|kmail|mail|slack|discord|element|signal|telegram|zoom|teams|"
                            "chat|jitsi|mattermost|pidgin|hexchat|skype")),
        rule(web, QStringLiteral("firefox|firefox esr|chromium|chrome|epiphany|web|falkon|konqueror|brave|"
                                                   "vivaldi|opera|librewolf")),
        rule(office, QStringLiteral("libreoffice|soffice|writer|calc|impress|onlyoffice|calligra|abiword|"
                                                      "gnumeric|okular|evince|document viewer|papers|zotero|obsidian|notes")),
        rule(media, QStringLiteral("vlc|mpv|totem|videos|celluloid|rhythmbox|spotify|elisa|audacious|lollypop|"
                                                     "gimp|inkscape|krita|darktable|shotwell|image viewer|eog|loupe|kdenlive")),
    };
    return set;
}

CategorySet CategorySet::fromJson(const QByteArray &text, QList<CategoryProblem> *problems)
{
    CategorySet set;
    const auto problem = [problems](int line, const QString &what, bool unreadable = false) {
        if (problems)
            problems->append({line, what, unreadable});
    };
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        problem(lineAt(text, parseError.offset), tr("this is not JSON (%1)").arg(parseError.errorString()), true);
        return set;
    }
    if (!document.isObject()) {
        problem(1, tr("the file holds no object with \"version\", \"categories\" and \"rules\""), true);
        return set;
    }
    const QJsonObject top = document.object();
    const QJsonValue version = top.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() < 1 || version.toDouble() != double(version.toInt())) {
        problem(1, tr("\"version\" must be a whole number from 1 on"), true);
        return set;
    }
    if (version.toInt() > kVersion)
        problem(1, tr("version %1 is newer than this Kestrum's %2: what it knows of is used").arg(version.toInt()).arg(kVersion));
    set.version = std::max(version.toInt(), kVersion);
    set.unknown = unknownKeys(top, kTopKeys);

    const QList<int> categoryLines = elementLines(text, "categories");
    const QList<int> ruleLines = elementLines(text, "rules");
    for (const char *key : {"categories", "rules"}) {
        const QJsonValue value = top.value(QLatin1String(key));
        if (!value.isUndefined() && !value.isArray())
            problem(1, tr("\"%1\" must be a list").arg(QLatin1String(key)));
    }

    const QJsonArray categories = top.value(QStringLiteral("categories")).toArray();
    QSet<CategoryPath> seen;
    for (qsizetype i = 0; i < categories.size(); ++i) {
        const int line = categoryLines.value(i, 1);
        const QJsonObject object = categories.at(i).toObject();
        const std::optional<CategoryPath> path = pathValue(object.value(QStringLiteral("path")));
        if (!path) {
            problem(line, tr("category %1 has no \"path\" (a list of names)").arg(i + 1));
            continue;
        }
        if (seen.contains(*path)) {
            problem(line, tr("category \"%1\" is listed twice: the first one is used").arg(categoryPathText(*path)));
            continue;
        }
        seen.insert(*path);
        Category category{*path, object.value(QStringLiteral("colour")).toString(), unknownKeys(object, kCategoryKeys), line};
        if (object.contains(QStringLiteral("colour")) && !isColour(category.colour)) {
            problem(line, tr("category \"%1\" has no colour of the form #rrggbb: one is chosen for it").arg(categoryPathText(*path)));
            category.colour.clear();
        }
        set.categories.append(category);
    }

    const QJsonArray rules = top.value(QStringLiteral("rules")).toArray();
    for (qsizetype i = 0; i < rules.size(); ++i) {
        const int line = ruleLines.value(i, 1);
        const QJsonObject object = rules.at(i).toObject();
        const auto skip = [&](const QString &why) {
            CategoryRule kept;
            kept.line = line;
            kept.problem = why;
            kept.unusable = rules.at(i);
            set.rules.append(kept);
        };
        const std::optional<CategoryPath> category = pathValue(object.value(QStringLiteral("category")));
        const std::optional<CategoryRule::Field> field = enumValue(kFields, object.value(QStringLiteral("field")).toString());
        const std::optional<CategoryRule::Match> match = enumValue(kMatches, object.value(QStringLiteral("match")).toString());
        const QJsonValue pattern = object.value(QStringLiteral("pattern"));
        const QJsonValue caseSensitive = object.value(QStringLiteral("caseSensitive"));
        if (!rules.at(i).isObject()) {
            skip(tr("it is no object"));
            continue;
        }
        if (!category) {
            skip(tr("it has no \"category\" (a list of names)"));
            continue;
        }
        if (!field) {
            skip(tr("its \"field\" must be %1").arg(quotedList(names(kFields))));
            continue;
        }
        if (!match) {
            skip(tr("its \"match\" must be %1").arg(quotedList(names(kMatches))));
            continue;
        }
        if (!pattern.isString()) {
            skip(tr("it has no \"pattern\" (a text)"));
            continue;
        }
        if (!caseSensitive.isUndefined() && !caseSensitive.isBool()) {
            skip(tr("its \"caseSensitive\" must be true or false"));
            continue;
        }
        CategoryRule rule = CategoryRule::of(*category, *field, *match, pattern.toString(), caseSensitive.toBool(false));
        rule.unknown = unknownKeys(object, kRuleKeys);
        rule.line = line;
        set.rules.append(rule);
    }
    set.checkRules(problems);
    return set;
}

QByteArray CategorySet::toJson() const
{
    // One category or rule per line, so that a person can read and edit the file.
    QByteArray text = "{\"version\": " + QByteArray::number(version) + ",\n \"categories\": [";
    const auto line = [](const QJsonObject &object) { return QJsonDocument(object).toJson(QJsonDocument::Compact); };
    for (qsizetype i = 0; i < categories.size(); ++i) {
        QJsonObject object = categories.at(i).unknown;
        object.insert(QStringLiteral("path"), pathArray(categories.at(i).path));
        if (!categories.at(i).colour.isEmpty())
            object.insert(QStringLiteral("colour"), categories.at(i).colour);
        text += (i ? ",\n   " : "\n   ") + line(object);
    }
    text += categories.isEmpty() ? "],\n \"rules\": [" : "\n ],\n \"rules\": [";
    for (qsizetype i = 0; i < rules.size(); ++i) {
        const CategoryRule &rule = rules.at(i);
        if (rule.unusable) {
            text += (i ? ",\n   " : "\n   ") + jsonText(*rule.unusable);
            continue;
        }
        QJsonObject object = rule.unknown;
        object.insert(QStringLiteral("category"), pathArray(rule.category));
        object.insert(QStringLiteral("field"), enumName(kFields, rule.field));
        object.insert(QStringLiteral("match"), enumName(kMatches, rule.match));
        object.insert(QStringLiteral("pattern"), rule.pattern);
        if (rule.caseSensitive)
            object.insert(QStringLiteral("caseSensitive"), true);
        text += (i ? ",\n   " : "\n   ") + line(object);
    }
    text += rules.isEmpty() ? "]" : "\n ]";
    for (auto it = unknown.constBegin(); it != unknown.constEnd(); ++it)
        text += ",\n " + jsonText(it.key()) + ": " + jsonText(it.value());
    text += "}\n";
    return text;
}

const Category *CategorySet::category(const CategoryPath &path) const
{
    const Category *implied = nullptr;
    for (const Category &category : categories) {
        if (category.path == path)
            return &category;
        if (!implied && category.path.size() > path.size() && category.path.mid(0, path.size()) == path)
            implied = &category;
    }
    return implied;
}

QList<CategoryPath> CategorySet::allPaths() const
{
    QList<CategoryPath> paths;
    QSet<CategoryPath> seen;
    for (const Category &category : categories) {
        for (qsizetype depth = 1; depth <= category.path.size(); ++depth) {
            const CategoryPath path = category.path.mid(0, depth);
            if (!seen.contains(path)) {
                seen.insert(path);
                paths.append(path);
            }
        }
    }
    return paths;
}

QString CategorySet::colour(const CategoryPath &path) const
{
    for (qsizetype depth = path.size(); depth > 0; --depth) {
        for (const Category &category : categories) {
            if (category.path == path.mid(0, depth) && !category.colour.isEmpty())
                return category.colour;
        }
    }
    // A colour of its own, the same on every start: a hue from its name, never too light or dark.
    const uint hue = qHash(categoryPathText(path), 0x4b53) % 360;
    const auto channel = [hue](int shift) {
        const int h = int(hue + shift) % 360;
        const double x = h < 60 ? h / 60.0 : h < 180 ? 1.0 : h < 240 ? (240 - h) / 60.0 : 0.0;
        return int(70 + 130 * x);
    };
    return QStringLiteral("#%1%2%3").arg(channel(0), 2, 16, QChar(u'0')).arg(channel(120), 2, 16, QChar(u'0')).arg(channel(240), 2, 16, QChar(u'0'));
}

void CategorySet::checkRules(QList<CategoryProblem> *problems)
{
    for (qsizetype i = 0; i < rules.size(); ++i) {
        CategoryRule &rule = rules[i];
        if (rule.unusable) {
            if (problems)
                problems->append({rule.line, tr("rule %1 is not used: %2").arg(i + 1).arg(rule.problem)});
            continue;
        }
        rule.problem.clear();
        if (rule.category != CategoryPath{Classifier::kIdle} && !category(rule.category))
            rule.problem = tr("its category \"%1\" is not in the list of categories").arg(categoryPathText(rule.category));
        if (rule.match == CategoryRule::Match::Regex) {
            const QRegularExpression expression = Classifier::expressionFor(rule);
            if (!expression.isValid()) {
                rule.problem = tr("its pattern is no regular expression: %1 at character %2")
                                   .arg(expression.errorString())
                                   .arg(expression.patternErrorOffset() + 1);
            }
        }
        if (problems && !rule.problem.isEmpty())
            problems->append({rule.line, tr("rule %1 is not used: %2").arg(i + 1).arg(rule.problem)});
    }
}

void CategorySet::removeDefaults()
{
    const CategorySet defaultSet = defaults();
    categories.removeIf([&](const Category &category) {
        return std::any_of(defaultSet.categories.cbegin(), defaultSet.categories.cend(), [&](const Category &made) {
            return made.path == category.path && made.colour == category.colour && category.unknown.isEmpty();
        });
    });
    rules.removeIf([&](const CategoryRule &rule) { return defaultSet.rules.contains(rule); });
}

bool CategorySet::operator==(const CategorySet &other) const
{
    if (version != other.version || categories.size() != other.categories.size() || rules != other.rules || unknown != other.unknown)
        return false;
    for (qsizetype i = 0; i < categories.size(); ++i) {
        if (categories.at(i).path != other.categories.at(i).path || categories.at(i).colour != other.categories.at(i).colour
            || categories.at(i).unknown != other.categories.at(i).unknown)
            return false;
    }
    return true;
}

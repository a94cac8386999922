// The categories file as people and other computers write it, and the rules it holds.

#include "FileTestSupport.h"
#include "categories/CategoriesFile.h"
#include "categories/Classifier.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {


using Field = CategoryRule::Field;
using Match = CategoryRule::Match;

} // namespace

TEST(Classifier, TheFirstRuleThatMatchesDecidesAndIdleStaysIdle)
{
    CategorySet set;
    set.categories = {{{QStringLiteral("Work"), QStringLiteral("Kestrum")}, QStringLiteral("#3d7edb"), {}, 0},
                      {{QStringLiteral("Mail")}, {}, {}, 0}};
    set.rules = {CategoryRule::of({QStringLiteral("Work"), QStringLiteral("Kestrum")}, Field::Window, Match::Contains, QStringLiteral("kestrum")),
                 CategoryRule::of({QStringLiteral("Mail")}, Field::Application, Match::Regex, QStringLiteral("^(Mail|Chat)$")),
                 CategoryRule::of({QStringLiteral("Work")}, Field::Either, Match::Is, QStringLiteral("Terminal"), true),
                 CategoryRule::of({QStringLiteral("Work")}, Field::Application, Match::Contains, QStringLiteral("dl"))};
    Classifier classifier(set);
    // A window naming the project goes to it even in the mail program: rule 1 comes first.
    EXPECT_EQ(classifier.classify(QStringLiteral("mail"), QStringLiteral("Re: KESTRUM release")).explanation(),
              QStringLiteral("rule 1: window contains \"kestrum\""));
    EXPECT_EQ(classifier.classify(QStringLiteral("CHAT"), QStringLiteral("inbox")).category, CategoryPath{QStringLiteral("Mail")});
    EXPECT_EQ(classifier.classify(QStringLiteral("Chatty"), std::nullopt).category, CategoryPath{Classifier::kUncategorized});
    // "is" and case-sensitive; "either" looks at the window too; a parent implied by a path is a category.
    EXPECT_EQ(classifier.classify(QStringLiteral("terminal"), std::nullopt).source, Classification::Source::Uncategorized);
    EXPECT_EQ(classifier.classify(QStringLiteral("Konsole"), QStringLiteral("Terminal")).category, CategoryPath{QStringLiteral("Work")});
    // Time away is not taken by a rule that happens to match the word (rule 4), only by one
    // that names it.
    EXPECT_EQ(classifier.classify(Classifier::kIdle, std::nullopt).source, Classification::Source::Idle);
    set.rules.prepend(CategoryRule::of({Classifier::kIdle}, Field::Application, Match::Is, Classifier::kIdle));
    set.rules.prepend(CategoryRule::of({QStringLiteral("Meetings")}, Field::Application, Match::Is, Classifier::kIdle)); // no such category
    EXPECT_EQ(Classifier(set).classify(Classifier::kIdle, std::nullopt).explanation(), QStringLiteral("rule 2: application is \"Idle\""));
}

TEST(Classifier, APatternThatRunsAwayOnAHugeTitleCountsAsNoMatch)
{
    CategorySet set;
    set.categories = {{{QStringLiteral("Slow")}, {}, {}, 0}, {{QStringLiteral("Next")}, {}, {}, 0}};
    set.rules = {CategoryRule::of({QStringLiteral("Slow")}, Field::Window, Match::Regex, QStringLiteral("^(a+)+$")),
                 CategoryRule::of({QStringLiteral("Slow")}, Field::Window, Match::Regex, QStringLiteral("(x+x+)+y")),
                 CategoryRule::of({QStringLiteral("Next")}, Field::Window, Match::Contains, QStringLiteral("aaa"))};
    Classifier classifier(set);
    const QString title = QString(100 * 1024, u'a') + u'!';
    EXPECT_EQ(classifier.classify(QStringLiteral("Editor"), title).category, CategoryPath{QStringLiteral("Next")});
    EXPECT_EQ(classifier.classify(QStringLiteral("Editor"), QString(5000, u'x')).source, Classification::Source::Uncategorized);
    EXPECT_TRUE(classifier.hitLimits());
}

class CategoriesFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir(m_directory.path()).mkpath(QStringLiteral("Kestrum"))); }
    QString path() const { return m_directory.filePath(QStringLiteral("Kestrum/categories.json")); }
    QTemporaryDir m_directory;
};

TEST_F(CategoriesFileTest, NoFileIsTheDefaultSetAndASaveKeepsWhatALaterVersionAdded)
{
    CategoriesFile file(path());
    EXPECT_EQ(file.set(), CategorySet::defaults());
    EXPECT_FALSE(QFileInfo::exists(path())) << "reading writes nothing";
    EXPECT_EQ(Classifier(file.set()).classify(QStringLiteral("Firefox ESR"), QStringLiteral("Qt 6")).category, CategoryPath{QStringLiteral("Web")});
    CategorySet removed = file.set();
    removed.removeDefaults();
    EXPECT_TRUE(removed.categories.isEmpty() && removed.rules.isEmpty());

    const QByteArray later = R"({"version": 2, "sync": {"peers": 2},
  "categories": [{"path": ["Work"], "colour": "#112233", "icon": "briefcase"}],
  "rules": [{"category": ["Work"], "field": "window", "match": "is", "pattern": "plan", "weight": 3},
            {"category": ["Work"], "field": "title", "match": "is", "pattern": "kept as it is"}]})";
    ASSERT_TRUE(writeRawFile(path(), later));
    ASSERT_TRUE(file.reload());
    EXPECT_EQ(file.set().rules.size(), 2);
    QString error;
    ASSERT_TRUE(file.save(file.set(), &error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(path()).permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QStringList problems;
    const CategorySet again = CategoriesFile::readFile(path(), &problems, &error);
    EXPECT_EQ(again, file.set());
    for (const char *kept : {"{\"version\": 2,", "\"sync\": {\"peers\":2}", "\"icon\":\"briefcase\"", "\"weight\":3", "\"field\":\"title\""})
        EXPECT_TRUE(fileContents(path()).contains(kept)) << kept << " lost in\n" << fileContents(path()).toStdString();
}

TEST_F(CategoriesFileTest, AnUnreadableFileIsNamedWithItsLineAndKeptBesideTheFirstSave)
{
    const QByteArray broken = "{\"version\": 1,\n \"categories\": [{\"path\": [\"Work\"]}],\n \"rules\": [\n";
    ASSERT_TRUE(writeRawFile(path(), broken));
    CategoriesFile file(path());
    ASSERT_EQ(file.problems().size(), 1);
    EXPECT_TRUE(file.problems().constFirst().startsWith(path() + QStringLiteral(" line 4: this is not JSON")))
        << file.problems().constFirst().toStdString();
    EXPECT_TRUE(file.set().rules.isEmpty());
    EXPECT_EQ(fileContents(path()), broken);

    QString error;
    ASSERT_TRUE(file.save(CategorySet::defaults(), &error)) << error.toStdString();
    EXPECT_EQ(file.set(), CategorySet::defaults());
    const QStringList aside = QDir(QFileInfo(path()).absolutePath()).entryList({QStringLiteral("categories.json.corrupt-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(fileContents(QFileInfo(path()).absolutePath() + u'/' + aside.constFirst()), broken);
}

TEST_F(CategoriesFileTest, AnEditOnDiskTakesEffectWithoutARestart)
{
    QString error;
    ASSERT_TRUE(CategoriesFile::writeFile(path(), CategorySet::defaults(), &error)) << error.toStdString();
    CategoriesFile file(path());
    file.watch();
    int changes = 0;
    QObject::connect(&file, &CategoriesFile::changed, [&changes] { ++changes; });
    CategorySet edited;
    edited.categories = {{{QStringLiteral("Kestrum")}, QStringLiteral("#000000"), {}, 0}};
    ASSERT_TRUE(CategoriesFile::writeFile(path(), edited, &error)) << error.toStdString(); // replaced, as sync tools do
    QElapsedTimer waited;
    waited.start();
    while (changes == 0 && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(file.set(), edited);
}

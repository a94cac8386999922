#include "store/ChangeNotifier.h"
#include "store/TimeStoreApp.h"
#include "store/TimeStoreNode.h"
#include "store/TimeStoreWindow.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>

#include <cmath>
#include <limits>
#include <vector>

// Readable failure messages.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

static void PrintTo(const ChangeNotice &notice, std::ostream *os)
{
    static const char *const properties[] = {"Name", "ActiveTimeString", "Children", "IsLeaf", "TimeSet", "IsAXEnabled"};
    *os << (notice.phase == ChangePhase::Will ? "will " : "did ") << properties[int(notice.property)] << " of "
        << static_cast<const void *>(notice.node);
}

namespace {

// Records every notice a notifier sends, in order.
class NoticeRecorder
{
public:
    explicit NoticeRecorder(ChangeNotifier &notifier)
    {
        notifier.subscribe([this](const ChangeNotice &notice) { notices.push_back(notice); });
    }

    std::vector<ChangeNotice> notices;
};

QVariantMap record(const QVariant &name, const QVariant &activeTime = {})
{
    QVariantMap r;
    if (name.isValid())
        r.insert(QStringLiteral("Name"), name);
    if (activeTime.isValid())
        r.insert(QStringLiteral("ActiveTime"), activeTime);
    return r;
}

QString str(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

// --- Stored times -----------------------------------------------------------------------

TEST(StoredTime, NumbersAndTextAreReadLeniently)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<QVariant, double> cases[] = {
        {QVariant(12.5), 12.5},
        {QVariant(42), 42},
        {QVariant(qint64(1) << 40), double(qint64(1) << 40)},
        {QVariant(0u), 0},
        {QVariant(-5.0), 0},
        {QVariant(-5), 0},
        {QVariant(nan), 0},
        {QVariant(inf), 0},
        {QVariant(-inf), 0},
        {QVariant(), 0},
        {QVariant(QStringLiteral("  12.5abc")), 12.5},
        {QVariant(QStringLiteral("\t\n 7")), 7},
        {QVariant(QStringLiteral("1234.5678")), 1234.5678},
        {QVariant(QStringLiteral("+3")), 3},
        {QVariant(QStringLiteral("1e3")), 1000},
        {QVariant(QStringLiteral(".5")), 0.5},
        {QVariant(QStringLiteral("abc")), 0},
        {QVariant(QStringLiteral("")), 0},
        {QVariant(QStringLiteral("   ")), 0},
        {QVariant(QStringLiteral("-3")), 0},
        {QVariant(QStringLiteral("--5")), 0},
        {QVariant(QStringLiteral("- 5")), 0},
        {QVariant(QStringLiteral("nan")), 0},
        {QVariant(QStringLiteral("inf")), 0},
        {QVariant(QStringLiteral("1e400")), 0},
        {QVariant(QStringLiteral("1,5")), 1},
        {QVariant(str("\u0661\u0662")), 0}, // Arabic-Indic digits are not a decimal number here
        {QVariant(true), 0},
        {QVariant(QDate(2026, 1, 5)), 0},
        {QVariant(QVariantList{QVariant(5)}), 0},
    };
    for (const auto &[stored, seconds] : cases) {
        const TimeStoreNode node(QStringLiteral("n"), stored);
        EXPECT_EQ(node.activeTime(), seconds) << stored.toString().toStdString() << " (" << stored.typeName() << ")";
    }
}

TEST(StoredTime, NegativeZeroReadsAsZero)
{
    // A time stored as -0 must not show as "-0:-0:-0" in the outline.
    for (const QVariant &stored : {QVariant(-0.0), QVariant(QStringLiteral("-0"))}) {
        const TimeStoreNode node(QStringLiteral("n"), stored);
        EXPECT_FALSE(std::signbit(node.activeTime())) << stored.toString().toStdString();
        EXPECT_EQ(node.activeTimeString(), QStringLiteral("00:00:00"));
    }
}

TEST(StoredTime, TextIsReadTheSameUnderAnyLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const TimeStoreNode dotted(QStringLiteral("n"), QStringLiteral("1234.5678"));
    const TimeStoreNode comma(QStringLiteral("n"), QStringLiteral("1,5"));
    QLocale::setDefault(previous);

    EXPECT_EQ(dotted.activeTime(), 1234.5678);
    EXPECT_EQ(comma.activeTime(), 1);
}

TEST(StoredTime, RecordsGiveNameAndTime)
{
    const TimeStoreWindow full(record(QStringLiteral("notes.txt"), 90.5));
    EXPECT_EQ(full.name(), QStringLiteral("notes.txt"));
    EXPECT_EQ(full.activeTime(), 90.5);

    const TimeStoreWindow noTime(record(QStringLiteral("notes.txt")));
    EXPECT_EQ(noTime.name(), QStringLiteral("notes.txt"));
    EXPECT_EQ(noTime.activeTime(), 0);

    const TimeStoreWindow noName(record(QVariant(), 12));
    EXPECT_FALSE(noName.name().has_value());
    EXPECT_EQ(noName.activeTime(), 12);

    QVariantMap extra = record(QStringLiteral("Mail"), QStringLiteral("30"));
    extra.insert(QStringLiteral("Windows"), QVariantList{record(QStringLiteral("Inbox"), 5)});
    const TimeStoreApp app(extra);
    EXPECT_EQ(app.name(), QStringLiteral("Mail"));
    EXPECT_EQ(app.activeTime(), 30);
    EXPECT_EQ(app.windowCount(), 0); // other entries are ignored, also "Windows"
    ASSERT_TRUE(app.children().has_value());
    EXPECT_TRUE(app.children()->isEmpty());
}

// --- Nodes --------------------------------------------------------------------------------

TEST(TimeStoreNode, AddTimeIntervalIsNotClampedAndAnnouncesTheTimeText)
{
    ChangeNotifier notifier;
    NoticeRecorder recorder(notifier);
    TimeStoreNode node(QStringLiteral("Editor"), -5);
    node.setNotifier(&notifier);
    ASSERT_EQ(node.activeTime(), 0);

    QStringList textsSeen;
    notifier.subscribe([&](const ChangeNotice &) { textsSeen.append(node.activeTimeString()); });
    node.addTimeInterval(-5);

    EXPECT_EQ(node.activeTime(), -5);
    EXPECT_EQ(node.activeTimeString(), QStringLiteral("-1:-1:-5"));
    const std::vector<ChangeNotice> expected{
        {&node, ObservedProperty::ActiveTimeString, ChangePhase::Will},
        {&node, ObservedProperty::ActiveTimeString, ChangePhase::Did},
    };
    EXPECT_EQ(recorder.notices, expected);
    // Observers read the old text before the change and the new one after it.
    EXPECT_EQ(textsSeen, (QStringList{QStringLiteral("00:00:00"), QStringLiteral("-1:-1:-5")}));

    node.addTimeInterval(3605);
    EXPECT_EQ(node.activeTime(), 3600);
    EXPECT_EQ(node.activeTimeString(), QStringLiteral("01:00:00"));
}

TEST(TimeStoreNode, SetNameAnnouncesOnePairAroundTheChange)
{
    ChangeNotifier notifier;
    NoticeRecorder recorder(notifier);
    TimeStoreWindow window(QStringLiteral("old"));
    window.setNotifier(&notifier);

    std::vector<std::optional<QString>> namesSeen;
    notifier.subscribe([&](const ChangeNotice &) { namesSeen.push_back(window.name()); });
    window.setName(QStringLiteral("new"));

    const std::vector<ChangeNotice> expected{
        {&window, ObservedProperty::Name, ChangePhase::Will},
        {&window, ObservedProperty::Name, ChangePhase::Did},
    };
    EXPECT_EQ(recorder.notices, expected);
    EXPECT_EQ(namesSeen, (std::vector<std::optional<QString>>{QStringLiteral("old"), QStringLiteral("new")}));

    window.setName(std::nullopt);
    EXPECT_FALSE(window.name().has_value());
    EXPECT_EQ(recorder.notices.size(), 4u);
}

TEST(TimeStoreNode, ElementChangesAndLoadingAnnounceNothingButTheTimeAdded)
{
    ChangeNotifier notifier;
    NoticeRecorder recorder(notifier);
    TimeStoreApp app(QStringLiteral("Editor"));
    app.setNotifier(&notifier);
    TimeStoreWindow *window = app.windowStoreForName(QStringLiteral("a"), WindowElement(1));
    recorder.notices.clear();

    window->setWindowElement(WindowElement(2));
    window->setWindowElement(WindowElement());
    app.addChildFromDictionary(record(QStringLiteral("b"), 5));
    EXPECT_TRUE(recorder.notices.empty());

    app.addChildFromDictionary(record(QStringLiteral("a"), 5));
    const std::vector<ChangeNotice> timeAdded{{window, ObservedProperty::ActiveTimeString, ChangePhase::Will},
                                              {window, ObservedProperty::ActiveTimeString, ChangePhase::Did}};
    EXPECT_EQ(recorder.notices, timeAdded);
}

TEST(TimeStoreNode, LeavesAndChildren)
{
    const TimeStoreNode node(QStringLiteral("n"));
    EXPECT_TRUE(node.isLeaf());
    EXPECT_FALSE(node.children().has_value());

    const TimeStoreWindow window(QStringLiteral("w"), WindowElement(1));
    EXPECT_TRUE(window.isLeaf());
    EXPECT_FALSE(window.children().has_value());

    TimeStoreApp app(QStringLiteral("Editor"));
    EXPECT_TRUE(app.isLeaf());
    ASSERT_TRUE(app.children().has_value()); // an empty list, not none
    EXPECT_TRUE(app.children()->isEmpty());

    TimeStoreWindow *first = app.windowStoreForName(QStringLiteral("a"), WindowElement(1));
    EXPECT_TRUE(app.isLeaf()) << "an application with one window is a leaf";
    ASSERT_EQ(app.children()->size(), 1);

    TimeStoreWindow *second = app.windowStoreForName(QStringLiteral("b"), WindowElement(2));
    EXPECT_FALSE(app.isLeaf());
    const QList<TimeStoreNode *> children = *app.children();
    ASSERT_EQ(children.size(), 2);
    EXPECT_TRUE(children.contains(first));
    EXPECT_TRUE(children.contains(second));

    // The list belongs to the caller: changing it leaves the application alone.
    QList<TimeStoreNode *> copy = *app.children();
    copy.clear();
    EXPECT_EQ(app.children()->size(), 2);
}

TEST(TimeStoreNode, DictionaryRepresentation)
{
    TimeStoreWindow window(QStringLiteral("notes.txt"));
    window.addTimeInterval(60);
    const QVariantMap r = window.dictionaryRepresentation();
    EXPECT_EQ(r.keys(), (QStringList{QStringLiteral("ActiveTime"), QStringLiteral("Name")}));
    EXPECT_EQ(r.value(QStringLiteral("Name")).toString(), QStringLiteral("notes.txt"));
    // Always a floating-point number, also for whole seconds.
    EXPECT_EQ(r.value(QStringLiteral("ActiveTime")).typeId(), QMetaType::Double);
    EXPECT_EQ(r.value(QStringLiteral("ActiveTime")).toDouble(), 60);

    window.addTimeInterval(0.125);
    const TimeStoreWindow back(window.dictionaryRepresentation());
    EXPECT_EQ(back.name(), window.name());
    EXPECT_EQ(back.activeTime(), 60.125);

    // The application's record holds its own name and time only.
    TimeStoreApp app(QStringLiteral("Editor"), 7);
    app.windowStoreForName(QStringLiteral("a"), WindowElement(1))->addTimeInterval(3);
    EXPECT_EQ(app.dictionaryRepresentation(),
              (QVariantMap{{QStringLiteral("Name"), QStringLiteral("Editor")}, {QStringLiteral("ActiveTime"), 7.0}}));

    const TimeStoreNode nameless(std::nullopt, 5);
    EXPECT_TRUE(nameless.dictionaryRepresentation().isEmpty());
}

TEST(TimeStoreNode, Descriptions)
{
    TimeStoreWindow window(QStringLiteral("notes.txt"));
    window.addTimeInterval(12.5);
    EXPECT_EQ(window.description(), QStringLiteral("(notes.txt -> 12.500000)"));

    // Titles are arbitrary text: placeholders in them stay as they are.
    TimeStoreWindow percent(QStringLiteral("50%2 of %1"));
    EXPECT_EQ(percent.description(), QStringLiteral("(50%2 of %1 -> 0.000000)"));

    TimeStoreApp app(QStringLiteral("Editor"));
    EXPECT_EQ(app.description(), QStringLiteral("Editor []"));
    app.windowStoreForName(QStringLiteral("a"), WindowElement(1))->addTimeInterval(1);
    EXPECT_EQ(app.description(), QStringLiteral("Editor [(a -> 1.000000)]"));
    app.windowStoreForName(QStringLiteral("b"), WindowElement(2))->addTimeInterval(2);
    const QString two = app.description();
    EXPECT_TRUE(two == QStringLiteral("Editor [(a -> 1.000000), (b -> 2.000000)]")
                || two == QStringLiteral("Editor [(b -> 2.000000), (a -> 1.000000)]"))
        << two.toStdString();
}

// --- Window lookup ----------------------------------------------------------------------

class WindowLookup : public testing::Test
{
protected:
    WindowLookup() { app.setNotifier(&notifier); }

    ChangeNotifier notifier;
    NoticeRecorder recorder{notifier};
    TimeStoreApp app{QStringLiteral("Editor")};
};

TEST_F(WindowLookup, NewNameAndElementMakeANodeWithNoTime)
{
    TimeStoreWindow *window = app.windowStoreForName(QStringLiteral("notes.txt"), WindowElement(7));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->name(), QStringLiteral("notes.txt"));
    EXPECT_EQ(window->activeTime(), 0);
    EXPECT_EQ(window->windowElement(), WindowElement(7));
    EXPECT_EQ(app.windowCount(), 1);

    // A new node takes part in the store's notices.
    recorder.notices.clear();
    window->addTimeInterval(1);
    ASSERT_EQ(recorder.notices.size(), 2u);
    EXPECT_EQ(recorder.notices[0].node, window);
}

TEST_F(WindowLookup, TheElementFindsItsNodeUnderAnyName)
{
    TimeStoreWindow *window = app.windowStoreForName(QStringLiteral("draft"), WindowElement(7));
    window->addTimeInterval(30);

    EXPECT_EQ(app.windowStoreForName(QStringLiteral("final"), WindowElement(7)), window);
    EXPECT_EQ(window->name(), QStringLiteral("draft"));
    EXPECT_EQ(window->windowElement(), WindowElement(7));
    EXPECT_EQ(app.windowCount(), 1);
    // Its key is still the old name.
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("draft"), WindowElement()), window);
    EXPECT_EQ(app.windowCount(), 1);
}

TEST_F(WindowLookup, ByKeyWithoutElementKeepsTheOldElement)
{
    TimeStoreWindow *window = app.windowStoreForName(QStringLiteral("notes.txt"), WindowElement(7));
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("notes.txt"), WindowElement()), window);
    EXPECT_EQ(window->windowElement(), WindowElement(7));
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("other"), WindowElement(7)), window);
}

TEST_F(WindowLookup, ByKeyWithANewElementTakesIt)
{
    TimeStoreWindow *window = app.windowStoreForName(QStringLiteral("notes.txt"), WindowElement(7));
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("notes.txt"), WindowElement(8)), window);
    EXPECT_EQ(window->windowElement(), WindowElement(8));
    EXPECT_EQ(app.windowCount(), 1);

    EXPECT_EQ(app.windowStoreForName(QStringLiteral("other"), WindowElement(8)), window);
    // The old element no longer leads to it.
    TimeStoreWindow *other = app.windowStoreForName(QStringLiteral("other"), WindowElement(7));
    EXPECT_NE(other, window);
    EXPECT_EQ(other->windowElement(), WindowElement(7));
    EXPECT_EQ(app.windowCount(), 2);
}

TEST_F(WindowLookup, ASavedNodeIsAttachedToTheFirstLiveWindowOfItsName)
{
    app.addChildFromDictionary(record(QStringLiteral("notes.txt"), 100));
    TimeStoreWindow *saved = app.windows().front().get();
    EXPECT_TRUE(saved->windowElement().isNull());

    EXPECT_EQ(app.windowStoreForName(QStringLiteral("notes.txt"), WindowElement(7)), saved);
    EXPECT_EQ(saved->windowElement(), WindowElement(7));
    EXPECT_EQ(saved->activeTime(), 100);
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("renamed"), WindowElement(7)), saved);

    // Saved nodes read in after the notifier was set take part in the notices too.
    recorder.notices.clear();
    saved->addTimeInterval(1);
    ASSERT_EQ(recorder.notices.size(), 2u);
    EXPECT_EQ(recorder.notices[0].node, saved);
}

TEST_F(WindowLookup, AfterARenameTheNewNameMakesASecondNode)
{
    TimeStoreWindow *window = app.windowStoreForName(QStringLiteral("draft"), WindowElement(7));
    window->addTimeInterval(30);
    window->setName(QStringLiteral("final"));

    EXPECT_EQ(app.windowStoreForName(QStringLiteral("anything"), WindowElement(7)), window);
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("draft"), WindowElement()), window);

    TimeStoreWindow *second = app.windowStoreForName(QStringLiteral("final"), WindowElement());
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, window);
    EXPECT_EQ(second->name(), QStringLiteral("final"));
    EXPECT_EQ(second->activeTime(), 0);
    EXPECT_TRUE(second->windowElement().isNull());
    EXPECT_EQ(app.windowCount(), 2);
    EXPECT_EQ(window->activeTime(), 30);
}

TEST_F(WindowLookup, EveryCallAnnouncesChildrenAndLeafBeforeAndAfter)
{
    const std::vector<ChangeNotice> four{
        {&app, ObservedProperty::Children, ChangePhase::Will},
        {&app, ObservedProperty::IsLeaf, ChangePhase::Will},
        {&app, ObservedProperty::Children, ChangePhase::Did},
        {&app, ObservedProperty::IsLeaf, ChangePhase::Did},
    };

    app.windowStoreForName(QStringLiteral("a"), WindowElement(1)); // new node
    EXPECT_EQ(recorder.notices, four);

    recorder.notices.clear();
    app.windowStoreForName(QStringLiteral("a"), WindowElement(1)); // nothing changes
    EXPECT_EQ(recorder.notices, four);

    // Observers see the new node only in the "did" half.
    std::vector<qsizetype> countsSeen;
    notifier.subscribe([&](const ChangeNotice &) { countsSeen.push_back(app.windowCount()); });
    app.windowStoreForName(QStringLiteral("b"), WindowElement(2));
    EXPECT_EQ(countsSeen, (std::vector<qsizetype>{1, 1, 2, 2}));
}

TEST_F(WindowLookup, NoNameGivesNoNodeAndStillAnnounces)
{
    TimeStoreWindow *existing = app.windowStoreForName(QStringLiteral("a"), WindowElement(1));
    recorder.notices.clear();

    EXPECT_EQ(app.windowStoreForName(std::nullopt, WindowElement(2)), nullptr);
    // The element of an existing node does not make up for the missing name.
    EXPECT_EQ(app.windowStoreForName(std::nullopt, WindowElement(1)), nullptr);
    EXPECT_EQ(app.windowStoreForName(std::nullopt, WindowElement()), nullptr);
    EXPECT_EQ(app.windowCount(), 1);
    EXPECT_EQ(existing->windowElement(), WindowElement(1));

    const std::vector<ChangeNotice> four{
        {&app, ObservedProperty::Children, ChangePhase::Will},
        {&app, ObservedProperty::IsLeaf, ChangePhase::Will},
        {&app, ObservedProperty::Children, ChangePhase::Did},
        {&app, ObservedProperty::IsLeaf, ChangePhase::Did},
    };
    std::vector<ChangeNotice> twelve;
    for (int i = 0; i < 3; ++i)
        twelve.insert(twelve.end(), four.begin(), four.end());
    EXPECT_EQ(recorder.notices, twelve);
}

TEST_F(WindowLookup, EmptyNameIsAName)
{
    TimeStoreWindow *window = app.windowStoreForName(QString(), WindowElement());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(app.windowStoreForName(QStringLiteral(""), WindowElement()), window);
    EXPECT_EQ(app.windowCount(), 1);
}

// --- Loading window nodes -------------------------------------------------------------

TEST(AddChildFromDictionary, ARecordOfAKnownNameAddsItsTimeToThatNode)
{
    TimeStoreApp app(QStringLiteral("Editor"));
    app.addChildFromDictionary(record(QStringLiteral("notes.txt"), 10));
    app.addChildFromDictionary(record(QStringLiteral("other"), 1));
    app.addChildFromDictionary(record(QStringLiteral("notes.txt"), 5));

    EXPECT_EQ(app.windowCount(), 2);
    TimeStoreWindow *found = app.windowStoreForName(QStringLiteral("notes.txt"), WindowElement());
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->activeTime(), 15);
    EXPECT_EQ(app.windowCount(), 2);
}

TEST(AddChildFromDictionary, EmptyAndNamelessRecordsAreIgnored)
{
    TimeStoreApp app(QStringLiteral("Editor"));
    app.addChildFromDictionary({});
    app.addChildFromDictionary(record(QVariant(), 12));
    app.addChildFromDictionary({{QStringLiteral("Other"), QStringLiteral("x")}});
    EXPECT_EQ(app.windowCount(), 0);
    EXPECT_TRUE(app.isLeaf());

    app.addChildFromDictionary(record(QStringLiteral("notes.txt")));
    ASSERT_EQ(app.windowCount(), 1);
    EXPECT_EQ(app.windows().front()->activeTime(), 0);
    EXPECT_TRUE(app.windows().front()->windowElement().isNull());

    // Nodes other than applications take no children.
    TimeStoreWindow window(QStringLiteral("w"));
    window.addChildFromDictionary(record(QStringLiteral("x"), 1));
    EXPECT_FALSE(window.children().has_value());
}

TEST(AddChildFromDictionary, ALoadedRecordAddsToTheLiveNodeOfItsName)
{
    TimeStoreApp app(QStringLiteral("Editor"));
    TimeStoreWindow *live = app.windowStoreForName(QStringLiteral("notes.txt"), WindowElement(7));
    live->addTimeInterval(50);
    app.addChildFromDictionary(record(QStringLiteral("notes.txt"), 5));

    // The live node keeps its element and goes on collecting.
    EXPECT_EQ(app.windowCount(), 1);
    EXPECT_EQ(live->activeTime(), 55);
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("other"), WindowElement(7)), live);
}

// --- The element index ------------------------------------------------------------------

TEST(WindowElementIndex, TwoLiveWindowsOfOneNameShareANode)
{
    TimeStoreApp app(QStringLiteral("Editor"));
    TimeStoreWindow *shared = app.windowStoreForName(QStringLiteral("Untitled"), WindowElement(1));
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("Untitled"), WindowElement(2)), shared);
    EXPECT_EQ(shared->windowElement(), WindowElement(2));
    EXPECT_EQ(app.windowCount(), 1);

    // Element 1 is no longer held by any node: under another name it makes a new node.
    TimeStoreWindow *other = app.windowStoreForName(QStringLiteral("Other"), WindowElement(1));
    EXPECT_NE(other, shared);
    EXPECT_EQ(app.windowCount(), 2);
}

TEST(WindowElementIndex, TheOldElementFindsTheSharedNodeByName)
{
    TimeStoreApp app(QStringLiteral("Editor"));
    TimeStoreWindow *shared = app.windowStoreForName(QStringLiteral("Untitled"), WindowElement(1));
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(app.windowStoreForName(QStringLiteral("Untitled"), WindowElement(2)), shared);
        EXPECT_EQ(app.windowStoreForName(QStringLiteral("Untitled"), WindowElement(1)), shared);
    }
    EXPECT_EQ(shared->windowElement(), WindowElement(1));
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("x"), WindowElement(1)), shared);
    TimeStoreWindow *fresh = app.windowStoreForName(QStringLiteral("y"), WindowElement(2));
    EXPECT_NE(fresh, shared);
    EXPECT_EQ(app.windowCount(), 2);
}

TEST(WindowElementIndex, FollowsSetWindowElement)
{
    TimeStoreApp app(QStringLiteral("Editor"));
    TimeStoreWindow *window = app.windowStoreForName(QStringLiteral("a"), WindowElement(1));
    window->setWindowElement(WindowElement(2));
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("x"), WindowElement(2)), window);
    EXPECT_EQ(app.windowCount(), 1);
    EXPECT_NE(app.windowStoreForName(QStringLiteral("y"), WindowElement(1)), window);
    EXPECT_EQ(app.windowCount(), 2);

    // A null element changes nothing.
    window->setWindowElement(WindowElement());
    EXPECT_EQ(window->windowElement(), WindowElement(2));
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("z"), WindowElement(2)), window);
    EXPECT_EQ(app.windowCount(), 2);
}

TEST(WindowElementIndex, AnElementGivenToASecondNodeAndTakenBackStillFindsTheFirst)
{
    TimeStoreApp app(QStringLiteral("Editor"));
    TimeStoreWindow *first = app.windowStoreForName(QStringLiteral("a"), WindowElement(1));
    TimeStoreWindow *second = app.windowStoreForName(QStringLiteral("b"), WindowElement(2));

    second->setWindowElement(WindowElement(1));
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("x"), WindowElement(1)), second);

    // The second node moves on; the first one still holds element 1.
    second->setWindowElement(WindowElement(3));
    ASSERT_EQ(first->windowElement(), WindowElement(1));
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("x"), WindowElement(1)), first);
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("x"), WindowElement(3)), second);
    EXPECT_EQ(app.windowCount(), 2);
}

TEST(WindowElementIndex, ALoadedRecordLeavesTheHoldersAsTheyWere)
{
    TimeStoreApp app(QStringLiteral("Editor"));
    TimeStoreWindow *first = app.windowStoreForName(QStringLiteral("a"), WindowElement(1));
    TimeStoreWindow *second = app.windowStoreForName(QStringLiteral("b"), WindowElement(2));
    second->setWindowElement(WindowElement(1));

    app.addChildFromDictionary(record(QStringLiteral("b"), 9));
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("x"), WindowElement(1)), second);
    EXPECT_EQ(second->activeTime(), 9);
    second->setWindowElement(WindowElement(3));
    EXPECT_EQ(app.windowStoreForName(QStringLiteral("x"), WindowElement(1)), first);
    EXPECT_EQ(app.windowCount(), 2);
}

TEST(WindowElementIndex, ALargeApplicationResolvesEveryLookup)
{
    constexpr int count = 10000;
    TimeStoreApp app(QStringLiteral("Browser"));
    std::vector<TimeStoreWindow *> nodes;
    nodes.reserve(count);
    for (int i = 0; i < count; ++i)
        nodes.push_back(app.windowStoreForName(QStringLiteral("tab %1").arg(i), WindowElement(quint64(i) + 1)));
    ASSERT_EQ(app.windowCount(), count);
    EXPECT_FALSE(app.isLeaf());
    EXPECT_EQ(app.children()->size(), count);

    for (int i = 0; i < count; i += 7) {
        // By element under a changed title, and by key without an element.
        ASSERT_EQ(app.windowStoreForName(QStringLiteral("renamed %1").arg(i), WindowElement(quint64(i) + 1)), nodes[size_t(i)]);
        ASSERT_EQ(app.windowStoreForName(QStringLiteral("tab %1").arg(count - 1 - i), WindowElement()),
                  nodes[size_t(count - 1 - i)]);
    }
    EXPECT_EQ(app.windowCount(), count);

    // Moving every element one node on keeps the index right.
    for (int i = 0; i < count; ++i)
        nodes[size_t(i)]->setWindowElement(WindowElement(quint64(i) + 1 + count));
    for (int i = 0; i < count; i += 13)
        ASSERT_EQ(app.windowStoreForName(QStringLiteral("x"), WindowElement(quint64(i) + 1 + count)), nodes[size_t(i)]);
    EXPECT_EQ(app.windowCount(), count);

    TimeStoreWindow *added = app.windowStoreForName(QStringLiteral("new tab"), WindowElement(1));
    EXPECT_EQ(app.windowCount(), count + 1);
    EXPECT_EQ(added->name(), QStringLiteral("new tab"));
}

// --- Notifier ---------------------------------------------------------------------------

TEST(ChangeNotifier, SubscribersHearInOrderUntilTheyUnsubscribe)
{
    ChangeNotifier notifier;
    std::vector<int> heard;
    const auto first = notifier.subscribe([&](const ChangeNotice &) { heard.push_back(1); });
    notifier.subscribe([&](const ChangeNotice &) { heard.push_back(2); });
    notifier.willChange(nullptr, ObservedProperty::TimeSet);
    EXPECT_EQ(heard, (std::vector<int>{1, 2}));

    notifier.unsubscribe(first);
    heard.clear();
    notifier.didChange(nullptr, ObservedProperty::TimeSet);
    EXPECT_EQ(heard, (std::vector<int>{2}));
}

TEST(ChangeNotifier, AListenerMayUnsubscribeOrSubscribeWhileANoticeIsSent)
{
    ChangeNotifier notifier;
    std::vector<int> heard;
    ChangeNotifier::SubscriptionId once = 0;
    once = notifier.subscribe([&](const ChangeNotice &) {
        heard.push_back(1);
        notifier.unsubscribe(once);
    });
    notifier.subscribe([&](const ChangeNotice &) { heard.push_back(2); });
    notifier.subscribe([&](const ChangeNotice &) { heard.push_back(3); });

    notifier.willChange(nullptr, ObservedProperty::TimeSet);
    EXPECT_EQ(heard, (std::vector<int>{1, 2, 3}));
    heard.clear();
    notifier.didChange(nullptr, ObservedProperty::TimeSet);
    EXPECT_EQ(heard, (std::vector<int>{2, 3}));

    // A listener added during a notice hears the following notices.
    ChangeNotifier growing;
    int late = 0;
    growing.subscribe([&](const ChangeNotice &) {
        for (int i = 0; i < 8; ++i) // enough to make the list grow
            growing.subscribe([&](const ChangeNotice &) { ++late; });
    });
    growing.willChange(nullptr, ObservedProperty::TimeSet);
    EXPECT_EQ(late, 0);
    late = 0;
    growing.didChange(nullptr, ObservedProperty::TimeSet);
    EXPECT_EQ(late, 8);
}

// --- The filter test --------------------------------------------------------------------

TEST(FilterTest, NameAndCutoff)
{
    struct Case
    {
        const char *name;
        double seconds;
        std::optional<QString> search;
        float cutoff;
        bool passes;
    };
    const Case cases[] = {
        {"Mail", 0, std::nullopt, 0, true},
        {"Mail", 10, QStringLiteral("mail"), 0, true},
        {"MAIL CLIENT", 10, QStringLiteral("mail"), 0, true},
        {"Thunderbird Mail", 10, QStringLiteral("iL"), 0, true},
        {"Calendar", 10, QStringLiteral("mail"), 0, false},
        {"Café", 10, QStringLiteral("CAFÉ"), 0, true},
        {"Café", 10, QStringLiteral("cafe"), 0, false}, // accents are not ignored
        {"Mail", 60, std::nullopt, 60, true},
        {"Mail", 59.9, std::nullopt, 60, false},
        {"Mail", 61, QStringLiteral("mail"), 60, true},
        {"Mail", 59.9, QStringLiteral("mail"), 60, false},
        {"Calendar", 61, QStringLiteral("mail"), 60, false},
        {"Mail", 0, std::nullopt, -1, true},
        {"Mail", 0, std::nullopt, -std::numeric_limits<float>::infinity(), true},
        {"Mail", -30, std::nullopt, -1, true},
        {"Mail", -30, std::nullopt, 0, true},
        {"Mail", 1e9, std::nullopt, std::numeric_limits<float>::infinity(), false},
    };
    for (const Case &c : cases) {
        TimeStoreApp app(QString::fromUtf8(c.name));
        app.addTimeInterval(c.seconds);
        TimeStoreNode *result = app.prunedObjectForSearchString(c.search, c.cutoff);
        EXPECT_EQ(result, c.passes ? &app : nullptr)
            << c.name << " " << c.seconds << "s, search " << c.search.value_or(QStringLiteral("<none>")).toStdString()
            << ", cut-off " << c.cutoff;
    }
}

TEST(FilterTest, OnlyTheApplicationsOwnNameCounts)
{
    TimeStoreApp app(QStringLiteral("Browser"));
    app.windowStoreForName(QStringLiteral("Mail - Inbox"), WindowElement(1))->addTimeInterval(100);
    EXPECT_EQ(app.prunedObjectForSearchString(QStringLiteral("mail"), 0), nullptr);
    // Nor do the windows' times count towards the cut-off.
    EXPECT_EQ(app.prunedObjectForSearchString(std::nullopt, 60), nullptr);
}

TEST(FilterTest, NamelessNodePassesOnlyWithoutSearch)
{
    TimeStoreApp app(std::nullopt, 10);
    EXPECT_EQ(app.prunedObjectForSearchString(std::nullopt, 5), &app);
    EXPECT_EQ(app.prunedObjectForSearchString(QStringLiteral("a"), 0), nullptr);
}

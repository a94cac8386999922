// What the outline shows of the store: the filtered set (search text and cut-off), the change
// notices that tell the outline to read it again, and timings loaded from disk that keep
// counting where they left off.

#include "TimeTrackerFixture.h"

#include <QVariantList>
#include <QVariantMap>

#include <optional>
#include <utility>

namespace {

QVariantMap record(const QString &name, double seconds)
{
    return {{QStringLiteral("Name"), name}, {QStringLiteral("ActiveTime"), seconds}};
}

// One application entry of the timing snapshot.
QVariantMap entry(const QString &name, double seconds, const QList<std::pair<QString, double>> &windows = {})
{
    QVariantList windowRecords;
    for (const auto &[windowName, windowSeconds] : windows)
        windowRecords.append(record(windowName, windowSeconds));
    return {{QStringLiteral("App"), record(name, seconds)}, {QStringLiteral("Windows"), windowRecords}};
}

class TimeTrackerFilteredSet : public TimeTrackerReadyFixture
{
protected:
    void load(const QVariantList &entries) { tracker->setArrayRepresentation(entries); }

    // The names of the shown applications, in the store's order.
    QStringList shown() const
    {
        QStringList names;
        for (const TimeStoreApp *node : tracker->timeSet())
            names.append(node->name().value_or(QStringLiteral("<none>")));
        return names;
    }

    QList<ChangeNotice> timeSetNotices() const { return noticesOf(ObservedProperty::TimeSet); }
};

} // namespace

TEST_F(TimeTrackerFilteredSet, WithoutSearchOrCutoffEveryApplicationIsShownIdleIncluded)
{
    load({entry(editorName(), 840), entry(idleName(), 300), entry(terminalName(), 0)});

    const QList<TimeStoreApp *> set = tracker->timeSet();
    ASSERT_EQ(set.size(), 3);
    // The live nodes of the store, in its order: no copies.
    for (qsizetype i = 0; i < set.size(); ++i)
        EXPECT_EQ(set.at(i), tracker->fullTimeSet().at(size_t(i)).get());
    EXPECT_EQ(shown(), QStringList({editorName(), idleName(), terminalName()}));
}

TEST_F(TimeTrackerFilteredSet, TheSearchMatchesApplicationAndWindowNamesInAnyCase)
{
    load({
        entry(QStringLiteral("Mail"), 10),
        entry(QStringLiteral("MAIL CLIENT"), 20),
        entry(browserName(), 30, {{QStringLiteral("mail from Bob"), 30}}),
        entry(QStringLiteral("Hotmail Notifier"), 40),
        entry(QStringLiteral("M a i l"), 50),
    });

    tracker->setSearchString(QStringLiteral("mail"));
    EXPECT_EQ(shown(), QStringList({QStringLiteral("Mail"), QStringLiteral("MAIL CLIENT"), browserName(), QStringLiteral("Hotmail Notifier")}));
    EXPECT_EQ(tracker->searchString(), QStringLiteral("mail"));

    tracker->setSearchString(QStringLiteral("MaIl C"));
    EXPECT_EQ(shown(), QStringList({QStringLiteral("MAIL CLIENT")}));
}

TEST_F(TimeTrackerFilteredSet, OnlyLetterCaseIsIgnoredNotAccents)
{
    load({entry(QStringLiteral("Café Sync"), 10), entry(QStringLiteral("CAFÉ"), 10), entry(QStringLiteral("Cafe"), 10)});

    tracker->setSearchString(QStringLiteral("café"));
    EXPECT_EQ(shown(), QStringList({QStringLiteral("Café Sync"), QStringLiteral("CAFÉ")}));
    tracker->setSearchString(QStringLiteral("cafe"));
    EXPECT_EQ(shown(), QStringList({QStringLiteral("Cafe")}));
}

TEST_F(TimeTrackerFilteredSet, AnApplicationFoundByNameListsAllItsWindowsAndOneFoundByAWindowThoseThatMatch)
{
    load({
        entry(QStringLiteral("Mail"), 100, {{QStringLiteral("Inbox"), 95}, {QStringLiteral("Drafts"), 5}, {QStringLiteral("x"), 0}}),
        entry(editorName(), 200, {{QStringLiteral("mail.txt"), 150}, {QStringLiteral("notes.txt"), 50}}),
        entry(terminalName(), 30, {{QStringLiteral("mail"), 30}}),
    });
    tracker->setSearchString(QStringLiteral("mail"));
    tracker->setCutoffTime(60);

    const auto names = [](const QList<TimeStoreWindow *> &windows) {
        QStringList list;
        for (const TimeStoreNode *node : windows)
            list.append(node->name().value_or(QString()));
        return list;
    };
    // The cut-off applies to applications alone.
    EXPECT_EQ(shown(), QStringList({QStringLiteral("Mail"), editorName()}));
    EXPECT_EQ(names(tracker->shownWindows(*app(QStringLiteral("Mail")))),
              QStringList({QStringLiteral("Inbox"), QStringLiteral("Drafts"), QStringLiteral("x")}));
    EXPECT_EQ(names(tracker->shownWindows(*app(editorName()))), QStringList{QStringLiteral("mail.txt")});
}

TEST_F(TimeTrackerFilteredSet, TheCutoffKeepsApplicationsThatReachIt)
{
    load({entry(QStringLiteral("Sixty"), 60), entry(QStringLiteral("Almost"), 59.9), entry(QStringLiteral("Hour"), 3600),
          entry(idleName(), 0)});

    tracker->setCutoffTime(60);
    EXPECT_EQ(shown(), QStringList({QStringLiteral("Sixty"), QStringLiteral("Hour")}));

    // The cut-off is compared as the 32-bit value it is: 0.1f lies just above 0.1 seconds.
    tracker->setCutoffTime(0.1f);
    EXPECT_EQ(tracker->cutoffTime(), 0.1f);
    load({entry(QStringLiteral("Tenth"), 0.1), entry(QStringLiteral("Widened"), double(0.1f))});
    EXPECT_EQ(shown(), QStringList({QStringLiteral("Sixty"), QStringLiteral("Almost"), QStringLiteral("Hour"),
                                    QStringLiteral("Widened")}));
}

TEST_F(TimeTrackerFilteredSet, SearchAndCutoffMustBothPass)
{
    load({entry(QStringLiteral("Mail"), 30), entry(QStringLiteral("Mailbox"), 90), entry(editorName(), 90)});
    tracker->setSearchString(QStringLiteral("mail"));
    tracker->setCutoffTime(60);
    EXPECT_EQ(shown(), QStringList({QStringLiteral("Mailbox")}));
}

TEST_F(TimeTrackerFilteredSet, ANegativeCutoffIsNoCutoff)
{
    load({entry(editorName(), 10), entry(idleName(), 0), entry(terminalName(), 0.5)});
    tracker->setCutoffTime(60);
    ASSERT_EQ(shown(), QStringList());

    tracker->setCutoffTime(-5);
    EXPECT_EQ(shown(), QStringList({editorName(), idleName(), terminalName()}));
    EXPECT_EQ(tracker->cutoffTime(), -5.0f); // stored unchanged, not clamped
    tracker->setCutoffTime(0);
    EXPECT_EQ(shown(), QStringList({editorName(), idleName(), terminalName()}));
}

TEST_F(TimeTrackerFilteredSet, AnEmptySearchTextClearsTheSearch)
{
    load({entry(QStringLiteral("Mail"), 10), entry(editorName(), 10)});
    tracker->setSearchString(QStringLiteral("mail"));
    ASSERT_EQ(shown(), QStringList({QStringLiteral("Mail")}));

    tracker->setSearchString(QString());
    EXPECT_EQ(tracker->searchString(), std::nullopt);
    EXPECT_EQ(shown(), QStringList({QStringLiteral("Mail"), editorName()}));

    tracker->setSearchString(QStringLiteral("mail"));
    tracker->setSearchString(QStringLiteral(""));
    EXPECT_EQ(tracker->searchString(), std::nullopt);
    EXPECT_EQ(shown(), QStringList({QStringLiteral("Mail"), editorName()}));

    tracker->setSearchString(QStringLiteral("mail"));
    tracker->setSearchString(std::nullopt);
    EXPECT_EQ(shown(), QStringList({QStringLiteral("Mail"), editorName()}));
}

TEST_F(TimeTrackerFilteredSet, EverySetterCallAnnouncesOneChangeEvenWithoutAChange)
{
    const QList<ChangeNotice> pair = noticePair(nullptr, ObservedProperty::TimeSet);
    notices.clear();
    tracker->setSearchString(QStringLiteral("mail"));
    EXPECT_EQ(notices, pair);

    notices.clear();
    tracker->setSearchString(QStringLiteral("mail"));
    EXPECT_EQ(notices, pair);

    notices.clear();
    tracker->setSearchString(std::nullopt);
    tracker->setSearchString(QString());
    EXPECT_EQ(notices, pair + pair);

    notices.clear();
    tracker->setCutoffTime(0);
    EXPECT_EQ(notices, pair);

    notices.clear();
    tracker->setCutoffTime(60);
    tracker->setCutoffTime(60);
    EXPECT_EQ(notices, pair + pair);
}

TEST_F(TimeTrackerFilteredSet, AReturnedSetStaysAsItWasWhenTheStoreGrows)
{
    load({entry(editorName(), 10)});
    const QList<TimeStoreApp *> before = tracker->timeSet();

    tracker->addWindowWithName(terminalName(), 20);
    startCountingInEditor();
    desktop.bringToFront(BrowserPid);

    ASSERT_EQ(before.size(), 1);
    EXPECT_EQ(before.first(), app(editorName()));
    EXPECT_EQ(shown(), QStringList({editorName(), terminalName(), browserName()}));
}

TEST_F(TimeTrackerFilteredSet, BookingTimeAnnouncesNoChangeOfTheSet)
{
    tracker->setCutoffTime(3);
    startCountingInEditor();
    ASSERT_EQ(shown(), QStringList());
    notices.clear();

    // The editor grows past the cut-off; the outline learns of it at the next announcement.
    runFor(5);
    EXPECT_EQ(timeSetNotices(), QList<ChangeNotice>());
    EXPECT_FALSE(noticesOf(ObservedProperty::ActiveTimeString, app(editorName())).isEmpty());
    tracker->setSearchString(std::nullopt);
    EXPECT_EQ(timeSetNotices(), noticePair(nullptr, ObservedProperty::TimeSet));
    EXPECT_EQ(shown(), QStringList({editorName()}));
}

// --- timings loaded from disk -------------------------------------------------------------------

class TimeTrackerLoadedTimings : public TimeTrackerReadyFixture
{
};

TEST_F(TimeTrackerLoadedTimings, KeepCountingInTheLoadedNodes)
{
    tracker->setArrayRepresentation(QVariantList{entry(editorName(), 100, {{QStringLiteral("notes.txt"), 40}})});
    startCountingInEditor();
    runFor(5);

    EXPECT_EQ(appNames(), QStringList({editorName()}));
    EXPECT_DOUBLE_EQ(appTime(editorName()), 105.0);
    EXPECT_DOUBLE_EQ(windowTime(editorName(), QStringLiteral("notes.txt")), 45.0);
    EXPECT_EQ(windowCount(editorName()), 1);
}

TEST_F(TimeTrackerLoadedTimings, ALoadedWindowAnnouncesItsChanges)
{
    tracker->setArrayRepresentation(QVariantList{entry(editorName(), 100, {{QStringLiteral("notes.txt"), 40}})});
    TimeStoreWindow *notes = window(editorName(), QStringLiteral("notes.txt"));
    ASSERT_NE(notes, nullptr);
    notices.clear();
    notes->addTimeInterval(1);
    EXPECT_EQ(notices, noticePair(notes, ObservedProperty::ActiveTimeString));
}

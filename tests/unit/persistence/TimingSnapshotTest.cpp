// The timing snapshot: the whole store as property-list values, written and read back.

#include "TimingStoreSupport.h"

#include "persistence/PropertyList.h"
#include "persistence/SavedState.h"
#include "persistence/TimingSnapshot.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>

namespace {

class TimingSnapshotTest : public TrackerTest
{
};

} // namespace

TEST_F(TimingSnapshotTest, AnEmptyStoreWritesAnEmptyArray)
{
    EXPECT_EQ(tracker().arrayRepresentation(), QVariantList());
}

TEST_F(TimingSnapshotTest, LoadingNothingStillAnnouncesOneChange)
{
    for (const QVariant &nothing : {QVariant(QVariantList()), QVariant()}) {
        notices.clear();
        tracker().setArrayRepresentation(nothing);
        EXPECT_TRUE(tracker().fullTimeSet().empty());
        EXPECT_EQ(notices, timeSetPair());
    }
}

TEST_F(TimingSnapshotTest, EntriesAndRecordsHoldExactlyTheirKeysAndRealTimes)
{
    tracker().setArrayRepresentation(QVariantList{entry(QStringLiteral("Editor"), 840, {{QStringLiteral("report"), 600}}),
                                                  entry(QStringLiteral("Terminal"), 65)});
    const QVariantList snapshot = tracker().arrayRepresentation();
    ASSERT_EQ(snapshot.size(), 2);

    const QVariantMap editor = snapshot.at(0).toMap();
    EXPECT_EQ(editor.keys(), QStringList({QStringLiteral("App"), QStringLiteral("Windows")}));
    const QVariantMap editorRecord = editor.value(QStringLiteral("App")).toMap();
    EXPECT_EQ(editorRecord.keys(), QStringList({QStringLiteral("ActiveTime"), QStringLiteral("Name")}));
    EXPECT_EQ(editorRecord.value(QStringLiteral("Name")), QStringLiteral("Editor"));
    EXPECT_EQ(editorRecord.value(QStringLiteral("ActiveTime")).typeId(), QMetaType::Double);
    const QVariantList windows = editor.value(QStringLiteral("Windows")).toList();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows.first().toMap(), record(QStringLiteral("report"), 600));

    // An application without windows has an empty array, not a missing one.
    const QVariantMap terminal = snapshot.at(1).toMap();
    EXPECT_EQ(terminal.value(QStringLiteral("Windows")).typeId(), QMetaType::QVariantList);
    EXPECT_EQ(terminal.value(QStringLiteral("Windows")).toList(), QVariantList());

    // Written out, the times are reals even where they are whole seconds.
    QByteArray xml;
    QString error;
    ASSERT_TRUE(PropertyList::serialize(snapshot, &xml, &error)) << error.toStdString();
    EXPECT_TRUE(xml.contains("<real>840</real>")) << xml.toStdString();
    EXPECT_FALSE(xml.contains("<integer>")) << xml.toStdString();
}

TEST_F(TimingSnapshotTest, ARoundTripAfterResetGivesBackEveryNodeExactly)
{
    const double third = 1.0 / 3;
    const double tiny = std::numeric_limits<double>::denorm_min();
    tracker().setArrayRepresentation(QVariantList{
        entry(QStringLiteral("Editor"), 840 + third, {{QStringLiteral("report"), 600 + third}, {QStringLiteral("notes"), 0.1}}),
        entry(QStringLiteral("Terminal"), tiny),
        entry(QStringLiteral("Idle"), 1e9 + 0.5),
    });
    TimeStoreApp *editor = tracker().appForName(QStringLiteral("Editor"));
    ASSERT_NE(editor, nullptr);
    // A window seen on screen, then renamed: its key stays "draft" while its name changes.
    TimeStoreWindow *draft = editor->windowStoreForName(QStringLiteral("draft"), WindowElement(7));
    draft->addTimeInterval(third);
    draft->setName(QStringLiteral("final report"));
    // Filters are no part of the snapshot.
    tracker().setSearchString(QStringLiteral("nothing matches this"));
    tracker().setCutoffTime(1e12f);

    const QString before = describe(tracker());
    const QVariantList snapshot = tracker().arrayRepresentation();
    ASSERT_EQ(snapshot.size(), 3);
    tracker().reset();
    ASSERT_TRUE(tracker().fullTimeSet().empty());
    tracker().setArrayRepresentation(snapshot);

    EXPECT_EQ(describe(tracker()), before);
    EXPECT_EQ(describe(tracker()),
              QStringLiteral("Editor %1 [report %2, notes %3, final report %4]\nTerminal %5 []\nIdle %6 []\n")
                  .arg(exact(840 + third), exact(600 + third), exact(0.1), exact(third), exact(tiny), exact(1e9 + 0.5)));

    editor = tracker().appForName(QStringLiteral("Editor"));
    ASSERT_NE(editor, nullptr);
    for (const auto &window : editor->windows())
        EXPECT_TRUE(window->windowElement().isNull()) << window->name()->toStdString();
    // The renamed window is now found under its name...
    TimeStoreWindow *finalReport = editor->windowStoreForName(QStringLiteral("final report"), WindowElement());
    ASSERT_NE(finalReport, nullptr);
    EXPECT_EQ(std::bit_cast<quint64>(finalReport->activeTime()), std::bit_cast<quint64>(third));
    EXPECT_EQ(editor->windowCount(), 3);
    // ...no longer under its old key, and not by the window it was last seen in.
    EXPECT_NE(editor->windowStoreForName(QStringLiteral("other"), WindowElement(7)), finalReport);
    EXPECT_DOUBLE_EQ(editor->windowStoreForName(QStringLiteral("draft"), WindowElement())->activeTime(), 0.0);
    EXPECT_EQ(editor->windowCount(), 5);
}

TEST_F(TimingSnapshotTest, WindowsWithoutNamesAreWrittenAsEmptyRecordsAndNotLoaded)
{
    tracker().setArrayRepresentation(
        QVariantList{entry(QStringLiteral("Editor"), 90, {{QStringLiteral("a"), 10}, {QStringLiteral("b"), 20}, {QStringLiteral("c"), 30}})});
    TimeStoreApp *editor = tracker().appForName(QStringLiteral("Editor"));
    for (const auto &window : editor->windows())
        window->setName(std::nullopt);

    const QVariantList snapshot = tracker().arrayRepresentation();
    const QVariantList windows = snapshot.at(0).toMap().value(QStringLiteral("Windows")).toList();
    EXPECT_EQ(windows, QVariantList({QVariantMap(), QVariantMap(), QVariantMap()}));

    tracker().reset();
    tracker().setArrayRepresentation(snapshot);
    EXPECT_EQ(describe(tracker()), QStringLiteral("Editor %1 []\n").arg(exact(90)));
}

TEST_F(TimingSnapshotTest, TwoWindowsOfTheSameNameAreBothWrittenAndAddedUpWhenLoaded)
{
    tracker().setArrayRepresentation(
        QVariantList{entry(QStringLiteral("Editor"), 30, {{QStringLiteral("notes"), 10}, {QStringLiteral("draft"), 20}})});
    TimeStoreApp *editor = tracker().appForName(QStringLiteral("Editor"));
    editor->windows().at(1)->setName(QStringLiteral("notes"));

    const QVariantList snapshot = tracker().arrayRepresentation();
    EXPECT_EQ(snapshot.at(0).toMap().value(QStringLiteral("Windows")).toList(),
              QVariantList({record(QStringLiteral("notes"), 10), record(QStringLiteral("notes"), 20)}));

    tracker().reset();
    tracker().setArrayRepresentation(snapshot);
    // One node per name: nothing is lost.
    EXPECT_EQ(describe(tracker()), QStringLiteral("Editor %1 [notes %1]\n").arg(exact(30)));
}

TEST_F(TimingSnapshotTest, TwoEntriesOfTheSameNameBecomeOneApplication)
{
    tracker().setArrayRepresentation(QVariantList{entry(QStringLiteral("Editor"), 10, {{QStringLiteral("a"), 4}}),
                                                  entry(QStringLiteral("Editor"), 20, {{QStringLiteral("a"), 1}, {QStringLiteral("b"), 2}})});

    ASSERT_EQ(tracker().fullTimeSet().size(), 1u);
    EXPECT_DOUBLE_EQ(tracker().totalTime(), 30.0);
    EXPECT_EQ(tracker().arrayRepresentation(),
              QVariantList({entry(QStringLiteral("Editor"), 30, {{QStringLiteral("a"), 5}, {QStringLiteral("b"), 2}})}));
}

TEST_F(TimingSnapshotTest, LoadingOntoAStoreAddsToTheNodeOfTheSameName)
{
    tracker().setArrayRepresentation(QVariantList{entry(QStringLiteral("Editor"), 10)});
    TimeStoreApp *older = tracker().appForName(QStringLiteral("Editor"));
    tracker().setArrayRepresentation(QVariantList{entry(QStringLiteral("Editor"), 20)});

    ASSERT_EQ(tracker().fullTimeSet().size(), 1u);
    EXPECT_EQ(tracker().appForName(QStringLiteral("Editor")), older);
    EXPECT_DOUBLE_EQ(older->activeTime(), 30.0);
}

TEST_F(TimingSnapshotTest, MissingNegativeAndTextTimesReadAsTheyAreStored)
{
    const QVariantMap missing{{QStringLiteral("Name"), QStringLiteral("Missing")}};
    const QVariantMap negative{{QStringLiteral("Name"), QStringLiteral("Negative")}, {QStringLiteral("ActiveTime"), -3}};
    const QVariantMap text{{QStringLiteral("Name"), QStringLiteral("Text")}, {QStringLiteral("ActiveTime"), QStringLiteral(" 12.5 s")}};
    const QVariantMap integer{{QStringLiteral("Name"), QStringLiteral("Integer")},
                              {QStringLiteral("ActiveTime"), QVariant::fromValue<qint64>(840)}};
    tracker().setArrayRepresentation(QVariantList{
        QVariantMap{{QStringLiteral("App"), missing}, {QStringLiteral("Windows"), QVariantList{negative, text, integer, missing}}},
        QVariantMap{{QStringLiteral("App"), negative}},
        QVariantMap{{QStringLiteral("App"), text}, {QStringLiteral("Extra"), 1}, {QStringLiteral("Windows"), QStringLiteral("w")}},
        QVariantMap{{QStringLiteral("App"), integer}},
    });
    EXPECT_EQ(describe(tracker()), QStringLiteral("Missing %1 [Negative %1, Text %2, Integer %3, Missing %1]\n"
                                                  "Negative %1 []\nText %2 []\nInteger %3 []\n")
                                       .arg(exact(0), exact(12.5), exact(840)));
}

TEST_F(TimingSnapshotTest, EntriesWithoutAnApplicationNameAreSkippedAndTheLoadGoesOn)
{
    const QVariantMap nameless{{QStringLiteral("ActiveTime"), 5.0}};
    const QVariantMap numberName{{QStringLiteral("Name"), 42}, {QStringLiteral("ActiveTime"), 5.0}};
    const QVariantList snapshot{
        entry(QStringLiteral("First"), 1),
        QVariantMap{{QStringLiteral("Windows"), QVariantList{record(QStringLiteral("w"), 1)}}},
        QVariantMap{{QStringLiteral("App"), nameless}, {QStringLiteral("Windows"), QVariantList()}},
        QVariantMap{{QStringLiteral("App"), QVariantMap()}},
        QVariantMap{{QStringLiteral("App"), numberName}},
        QVariantMap(),
        QStringLiteral("not an entry"),
        entry(QStringLiteral("Last"), 2, {{QStringLiteral("w"), 2}}),
    };
    LogCapture log;
    tracker().setArrayRepresentation(snapshot);

    EXPECT_EQ(describe(tracker()), QStringLiteral("First %1 []\nLast %2 [w %2]\n").arg(exact(1), exact(2)));
    EXPECT_EQ(notices, timeSetPair());
    EXPECT_EQ(LogCapture::warnings().size(), 1) << LogCapture::warnings().join(u'\n').toStdString();
}

TEST_F(TimingSnapshotTest, AddingAnApplicationOfAKnownNameAddsToThatNode)
{
    tracker().addWindowWithName(QStringLiteral("Editor"), 120);
    TimeStoreApp *first = tracker().appForName(QStringLiteral("Editor"));
    EXPECT_EQ(notices, timeSetPair());

    notices.clear();
    tracker().addWindowWithName(QStringLiteral("Editor"), 30);
    EXPECT_EQ(notices, timeSetPair());

    ASSERT_EQ(tracker().fullTimeSet().size(), 1u);
    EXPECT_EQ(tracker().appForName(QStringLiteral("Editor")), first);
    EXPECT_EQ(describe(tracker()), QStringLiteral("Editor %1 []\n").arg(exact(150)));
}

// The snapshot is written straight to XML, not through the dictionary it converts to; the file
// must be the same, wherever the snapshot sits and whatever its names hold.
TEST_F(TimingSnapshotTest, ASnapshotIsWrittenExactlyAsItsDictionary)
{
    const auto xmlOf = [](const QVariant &value) {
        QByteArray xml;
        QString error;
        EXPECT_TRUE(PropertyList::serialize(value, &xml, &error)) << error.toStdString();
        return xml;
    };
    const auto bothWays = [&] {
        const ::TimingSnapshot snapshot = ::TimingSnapshot::of(tracker());
        const QVariant direct = QVariant::fromValue(snapshot);
        const QVariant dictionary = QVariant::fromValue(snapshot.toDictionary());
        EXPECT_EQ(xmlOf(direct), xmlOf(dictionary));
        EXPECT_EQ(xmlOf(QVariantMap{{QStringLiteral("Apps"), direct}, {QStringLiteral("Other"), 1}}),
                  xmlOf(QVariantMap{{QStringLiteral("Apps"), dictionary}, {QStringLiteral("Other"), 1}}));
    };
    bothWays(); // an empty store

    tracker().setArrayRepresentation(QVariantList{
        entry(QStringLiteral("<Editor> & \"co\""), 840.25, {{QStringLiteral("a\rb\x01\u00e9\U0001F600"), 1e-300}, {QStringLiteral("b"), 2}}),
        entry(QStringLiteral("Terminal"), 0),
    });
    tracker().appForName(QStringLiteral("Terminal"))->setName(std::nullopt);
    tracker().fullTimeSet().front()->windows().back()->setName(std::nullopt);
    bothWays();
    EXPECT_TRUE(xmlOf(QVariant::fromValue(::TimingSnapshot::of(tracker()))).contains("<string>&lt;Editor&gt; &amp; &quot;co&quot;</string>"));

    // Too deep to be read back: refused with where it sits, as the dictionary would be.
    QVariant nested = QVariant::fromValue(::TimingSnapshot::of(tracker()));
    for (int i = 0; i < PropertyList::kMaxNesting - 4; ++i)
        nested = QVariantList{nested};
    QByteArray xml;
    QString error;
    EXPECT_FALSE(PropertyList::serialize(nested, &xml, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("nested containers"))) << error.toStdString();
}

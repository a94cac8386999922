// The timings kept on disk: the versioned wrapper in timing documents and in the settings,
// the older bare form, and files that cannot be read or written.

#include "TimingStoreSupport.h"

#include "persistence/SavedState.h"
#include "persistence/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

namespace {

// A property list as another program might have written it.
QByteArray plistDocument(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n"
        + body + "\n</plist>\n";
}

// One application entry in the file's form.
QByteArray appEntry(const QByteArray &name, const QByteArray &seconds, const QByteArray &windows = {})
{
    return "<dict><key>App</key><dict><key>Name</key><string>" + name + "</string><key>ActiveTime</key>" + seconds
        + "</dict><key>Windows</key><array>" + windows + "</array></dict>";
}

QByteArray windowRecord(const QByteArray &name, const QByteArray &seconds)
{
    return "<dict><key>Name</key><string>" + name + "</string><key>ActiveTime</key>" + seconds + "</dict>";
}

class SavedState : public TrackerTest
{
protected:
    QString path(const QString &name) const { return m_directory.filePath(name); }

    // Writes the bytes to a file, reads it as a timing document and loads what it holds;
    // answers whether a tick should follow.
    bool loadDocument(const QByteArray &xml)
    {
        const QString file = path(QStringLiteral("document.kestrum"));
        EXPECT_TRUE(writeRawFile(file, xml));
        const PropertyListResult document = readTimingDocument(file);
        EXPECT_TRUE(document.ok()) << document.error.toStdString();
        return loadDictionary(tracker(), document.value);
    }

    // A store with a bit of everything a user's timings hold.
    void loadVariedTimings()
    {
        tracker().setArrayRepresentation(QVariantList{
            entry(QStringLiteral("Editor"), 840 + 1.0 / 3,
                  {{QStringLiteral("report <draft> & notes"), 600 + 1.0 / 3}, {QStringLiteral("Grüße 🙂"), 0.1}}),
            entry(QStringLiteral("Terminal"), 1e-310, {{QStringLiteral("line\r\nbreak\ttab"), 123456789.123}}),
            entry(QStringLiteral("Idle"), 300),
            entry(QStringLiteral("Empty"), 0),
        });
    }

    QTemporaryDir m_directory;
};

} // namespace

// --- round trips -----------------------------------------------------------------------------------

TEST_F(SavedState, TheWrapperHoldsTheVersionAndTheSnapshot)
{
    loadVariedTimings();
    const PropertyListDictionary wrapper = wrappedDictionaryWithVersioning(tracker());
    EXPECT_EQ(wrapper.keys(), QStringList({QStringLiteral("Version"), QStringLiteral("Apps")}));
    EXPECT_EQ(wrapper.value(QStringLiteral("Version")), QVariant(QStringLiteral("1.3")));
    QByteArray written;
    QByteArray expected;
    ASSERT_TRUE(PropertyList::serialize(wrapper.value(QStringLiteral("Apps")), &written, nullptr));
    ASSERT_TRUE(PropertyList::serialize(tracker().arrayRepresentation(), &expected, nullptr));
    EXPECT_EQ(written, expected);
}

TEST_F(SavedState, ADocumentReadsBackIntoAnEmptyStoreExactly)
{
    loadVariedTimings();
    const QString file = path(QStringLiteral("week.kestrum"));
    QString error;
    ASSERT_TRUE(writeTimingDocument(tracker(), file, &error)) << error.toStdString();
    EXPECT_EQ(fileMode(file), mode_t(0600));
    EXPECT_EQ(directoryEntries(m_directory.path()), QStringList{QStringLiteral("week.kestrum")});

    MemorySettings otherSettings;
    OfflineTracker other(otherSettings);
    ASSERT_TRUE(loadSettingsFromDisk(other.tracker(), file, &error)) << error.toStdString();
    EXPECT_EQ(describe(other.tracker()), describe(tracker()));
    EXPECT_EQ(other.tracker().fullTimeSet().size(), 4u);

    // A versioned document is followed by a tick.
    const PropertyListResult document = readTimingDocument(file);
    ASSERT_TRUE(document.ok()) << document.error.toStdString();
    EXPECT_TRUE(loadDictionary(other.tracker(), document.value));
    EXPECT_EQ(describe(other.tracker()), describe(tracker()));
}

TEST_F(SavedState, TheSettingsKeepTheTimingsBesideTheOtherValues)
{
    loadVariedTimings();
    const QString file = path(QStringLiteral("Kestrum/Kestrum.plist"));
    SettingsStore store(file);
    store.setValue(SettingsKey::MinutesUntilIdle, 5);
    QString error;
    ASSERT_TRUE(saveSettingsToDisk(tracker(), store, &error)) << error.toStdString();

    SettingsStore reread(file);
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.integerValue(SettingsKey::MinutesUntilIdle), 5);
    const PropertyListDictionary wrapper = reread.value(SettingsKey::Apps).value<PropertyListDictionary>();
    EXPECT_EQ(wrapper.value(QStringLiteral("Version")), QVariant(QStringLiteral("1.3")));

    MemorySettings otherSettings;
    OfflineTracker other(otherSettings);
    EXPECT_TRUE(loadDictionary(other.tracker(), reread.value(SettingsKey::Apps)));
    EXPECT_EQ(describe(other.tracker()), describe(tracker()));

    // Each save replaces the timings saved before.
    tracker().reset();
    tracker().addWindowWithName(QStringLiteral("Later"), 7);
    ASSERT_TRUE(saveSettingsToDisk(tracker(), store, &error)) << error.toStdString();
    ASSERT_TRUE(reread.load());
    EXPECT_TRUE(loadDictionary(other.tracker(), reread.value(SettingsKey::Apps)));
    EXPECT_EQ(describe(other.tracker()), QStringLiteral("Later 7 []\n"));
}

TEST_F(SavedState, TitlesWithControlCharactersComeBackWithReplacementCharacters)
{
    tracker().setArrayRepresentation(QVariantList{
        entry(QStringLiteral("Term\x07inal"), 5, {{QStringLiteral("a\x01" "b\x1b[31m"), 5}, {QStringLiteral("x\uFFFEy"), 1}})});
    const QString file = path(QStringLiteral("titles.kestrum"));
    QString error;
    ASSERT_TRUE(writeTimingDocument(tracker(), file, &error)) << error.toStdString();

    MemorySettings otherSettings;
    OfflineTracker other(otherSettings);
    ASSERT_TRUE(loadSettingsFromDisk(other.tracker(), file, &error)) << error.toStdString();
    EXPECT_EQ(describe(other.tracker()),
              QStringLiteral("Term\uFFFDinal 5 [a\uFFFDb\uFFFD[31m 5, x\uFFFDy 1]\n"));
}

TEST_F(SavedState, PythonsPlistlibReadsADocument)
{
    tracker().setArrayRepresentation(QVariantList{
        entry(QStringLiteral("Editor"), 840 + 1.0 / 3, {{QStringLiteral("report, \"final\""), 600}, {QStringLiteral("Grüße 🙂"), 0.1}}),
        entry(QStringLiteral("Idle"), 300),
    });
    const QString file = path(QStringLiteral("python.kestrum"));
    QString error;
    ASSERT_TRUE(writeTimingDocument(tracker(), file, &error)) << error.toStdString();

    const QString script = QStringLiteral(R"(
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    doc = plistlib.load(f)
print(ascii(list(doc.keys())), ascii(doc['Version']))
for entry in doc['Apps']:
    app = entry['App']
    print(ascii(app['Name']), app['ActiveTime'].hex(), sorted(entry.keys()))
    for window in entry['Windows']:
        print(' ', ascii(window['Name']), window['ActiveTime'].hex())
)");
    EXPECT_EQ(runPython(script, {file}).toStdString(),
              "['Version', 'Apps'] '1.3'\n"
              "'Editor' 0x1.a42aaaaaaaaabp+9 ['App', 'Windows']\n"
              "  'report, \"final\"' 0x1.2c00000000000p+9\n"
              "  'Gr\\xfc\\xdfe \\U0001f642' 0x1.999999999999ap-4\n"
              "'Idle' 0x1.2c00000000000p+8 ['App', 'Windows']\n");
}

TEST_F(SavedState, IntegersWhereRealsAreExpectedAreRead)
{
    EXPECT_TRUE(loadDocument(plistDocument(
        "<dict><key>Version</key><string>1.3</string><key>Apps</key><array>"
        + appEntry("Editor", "<integer>840</integer>", windowRecord("report", "<integer>600</integer>"))
        + appEntry("Huge", "<integer>9223372036854775809</integer>")
        + appEntry("Hex", "<integer>0x10</integer>") + "</array></dict>")));
    EXPECT_EQ(describe(tracker()), QStringLiteral("Editor 840 [report 600]\nHuge %1 []\nHex 16 []\n")
                                       .arg(exact(9223372036854775809.0)));
}

// A file's window records are read without a map each; what they hold counts as it does in a map.
TEST_F(SavedState, OddWindowRecordsInAFileAreReadAsInAMap)
{
    EXPECT_TRUE(loadDocument(plistDocument(
        "<dict><key>Version</key><string>1.3</string><key>Apps</key><array>"
        + appEntry("Editor", "<real>100</real>",
                   windowRecord("plain", "<real>40</real>") + windowRecord("text time", "<string>12.5 s</string>")
                       + "<dict><key>Name</key><integer>7</integer><key>ActiveTime</key><real>3</real></dict>"
                       + "<string>not a record</string><dict/>"
                       + "<dict><key>Extra</key><true/><key>Name</key><string>no time</string></dict>")
        + "</array></dict>")));
    EXPECT_EQ(describe(tracker()), QStringLiteral("Editor 100 [plain 40, text time 12.5, no time 0]\n"));
}

TEST_F(SavedState, NumbersAreTheSameInAGermanLocale)
{
    const LocaleGuard guard;
    const QTemporaryDir localeDirectory;
    if (!setGermanCLocale(localeDirectory))
        GTEST_SKIP() << "no de_DE.UTF-8 locale and no locale sources to build it from";
    QLocale::setDefault(QLocale::system());
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 1.5);
    ASSERT_STREQ(text, "1,5");

    tracker().setArrayRepresentation(QVariantList{entry(QStringLiteral("Editor"), 1234.5678, {{QStringLiteral("w"), 0.25}})});
    const QString file = path(QStringLiteral("german.kestrum"));
    QString error;
    ASSERT_TRUE(writeTimingDocument(tracker(), file, &error)) << error.toStdString();
    const QByteArray written = fileContents(file);
    EXPECT_TRUE(written.contains("<real>1234.5678</real>")) << written.toStdString();
    EXPECT_TRUE(written.contains("<real>0.25</real>")) << written.toStdString();
    EXPECT_FALSE(written.contains("1234,5678")) << written.toStdString();

    tracker().reset();
    EXPECT_TRUE(loadDocument(plistDocument("<dict><key>Version</key><string>1.3</string><key>Apps</key><array>"
                                           + appEntry("Editor", "<real>1234.5678</real>", windowRecord("w", "<string>0.25</string>"))
                                           + "</array></dict>")));
    EXPECT_EQ(describe(tracker()), QStringLiteral("Editor 1234.5678 [w 0.25]\n"));
}

// --- the versioned form ------------------------------------------------------------------------

TEST_F(SavedState, AVersionOfAnyValueOrTypeMarksTheVersionedForm)
{
    const QByteArray apps = "<key>Apps</key><array>" + appEntry("Editor", "<real>5</real>", windowRecord("w", "<real>5</real>")) + "</array>";
    for (const QByteArray &version : {QByteArray("<string>1.3</string>"), QByteArray("<string>2.0</string>"), QByteArray("<string/>"),
                                     QByteArray("<integer>7</integer>"), QByteArray("<real>1.3</real>"), QByteArray("<true/>"),
                                     QByteArray("<false/>"), QByteArray("<dict/>"), QByteArray("<array/>")}) {
        tracker().addWindowWithName(QStringLiteral("Before"), 1);
        EXPECT_TRUE(loadDocument(plistDocument("<dict><key>Version</key>" + version + apps + "</dict>"))) << version.toStdString();
        EXPECT_EQ(describe(tracker()), QStringLiteral("Editor 5 [w 5]\n")) << version.toStdString();
    }
    // The version may come after the timings.
    EXPECT_TRUE(loadDocument(plistDocument("<dict>" + apps + "<key>Version</key><string>1.3</string></dict>")));
    EXPECT_EQ(describe(tracker()), QStringLiteral("Editor 5 [w 5]\n"));
}

TEST_F(SavedState, AWrapperWithoutTimingsEmptiesTheStore)
{
    loadVariedTimings();
    EXPECT_TRUE(loadDocument(plistDocument("<dict><key>Version</key><string>1.3</string></dict>")));
    EXPECT_EQ(describe(tracker()), QString());

    loadVariedTimings();
    EXPECT_TRUE(loadDocument(plistDocument("<dict><key>Version</key><string>1.3</string><key>Apps</key><integer>3</integer></dict>")));
    EXPECT_EQ(describe(tracker()), QString());
}

TEST_F(SavedState, AnEmptyDictionaryLeavesTheStoreAlone)
{
    loadVariedTimings();
    const QString before = describe(tracker());
    notices.clear();

    EXPECT_FALSE(loadDocument(plistDocument("<dict/>")));
    EXPECT_FALSE(loadDictionary(tracker(), QVariant()));
    EXPECT_FALSE(loadDictionary(tracker(), QVariant::fromValue(PropertyListDictionary())));
    EXPECT_FALSE(loadDictionary(tracker(), QVariantMap()));
    // A first run: the settings hold no timings.
    EXPECT_FALSE(loadDictionary(tracker(), settings.value(SettingsKey::Apps)));

    EXPECT_EQ(describe(tracker()), before);
    EXPECT_EQ(notices, QList<ChangeNotice>()); // not even reset
}

// --- the bare form ---------------------------------------------------------------------------------

TEST_F(SavedState, TheBareFormGivesOneApplicationPerKeyInTheFilesOrder)
{
    loadVariedTimings();
    EXPECT_TRUE(loadDocument(plistDocument("<dict><key>Zulu</key><integer>120</integer><key>Alpha</key><real>2.5</real>"
                                           "<key>Mike</key><real>-4</real></dict>")));
    EXPECT_EQ(describe(tracker()), QStringLiteral("Zulu 120 []\nAlpha 2.5 []\nMike 0 []\n"));
}

TEST_F(SavedState, TheBareFormStopsAtATimingsArray)
{
    const QByteArray apps = "<key>Apps</key><array>" + appEntry("Editor", "<real>5</real>") + "</array>";
    loadVariedTimings();
    EXPECT_FALSE(loadDocument(plistDocument("<dict><key>A</key><integer>10</integer>" + apps
                                            + "<key>B</key><integer>20</integer></dict>")));
    EXPECT_EQ(describe(tracker()), QStringLiteral("A 10 []\n"));

    loadVariedTimings();
    EXPECT_FALSE(loadDocument(plistDocument("<dict>" + apps + "<key>A</key><integer>10</integer></dict>")));
    EXPECT_EQ(describe(tracker()), QString());

    loadVariedTimings();
    EXPECT_FALSE(loadDocument(plistDocument("<dict><key>Apps</key><array/></dict>")));
    EXPECT_EQ(describe(tracker()), QString());
}

TEST_F(SavedState, ABareFormTimingsKeyHoldingANumberIsAnApplication)
{
    EXPECT_TRUE(loadDocument(plistDocument("<dict><key>Apps</key><integer>30</integer><key>B</key><integer>20</integer></dict>")));
    EXPECT_EQ(describe(tracker()), QStringLiteral("Apps 30 []\nB 20 []\n"));
}

// --- files that cannot be read or written ------------------------------------------------------------

TEST_F(SavedState, AFileWithoutTimingsIsAnErrorThatLeavesTheStoreAsItWas)
{
    ASSERT_TRUE(QDir(m_directory.path()).mkdir(QStringLiteral("folder.kestrum")));
    const QList<std::pair<QString, QByteArray>> files{
        {QStringLiteral("text.kestrum"), "Editor,00:14:00\n"},
        {QStringLiteral("empty.kestrum"), ""},
        {QStringLiteral("truncated.kestrum"), plistDocument("<dict><key>Version</key><string>1.3</string>").left(200)},
        {QStringLiteral("array.kestrum"), plistDocument("<array>" + appEntry("Editor", "<real>5</real>") + "</array>")},
        {QStringLiteral("string.kestrum"), plistDocument("<string>Editor</string>")},
        {QStringLiteral("malformed.kestrum"), plistDocument("<dict><key>Version</key><string>1.3</string><key>Apps</key><array>"
                                                            + appEntry("Editor", "<real>5,5</real>") + "</array></dict>")},
    };
    for (const auto &[name, contents] : files)
        ASSERT_TRUE(writeRawFile(path(name), contents));

    loadVariedTimings();
    const QString before = describe(tracker());
    notices.clear();
    QStringList names{QStringLiteral("folder.kestrum"), QStringLiteral("missing.kestrum")};
    for (const auto &file : files)
        names.append(file.first);
    for (const QString &name : names) {
        QString error;
        EXPECT_FALSE(loadSettingsFromDisk(tracker(), path(name), &error)) << name.toStdString();
        EXPECT_TRUE(error.startsWith(path(name))) << error.toStdString();
        EXPECT_FALSE(error.contains(u'\n')) << error.toStdString();
    }
    EXPECT_EQ(describe(tracker()), before);
    EXPECT_EQ(notices, QList<ChangeNotice>());
}

TEST_F(SavedState, ADocumentThatCannotBeWrittenIsReportedAndLeavesNoFile)
{
    loadVariedTimings();
    const QString before = describe(tracker());
    const QString file = path(QStringLiteral("missing/week.kestrum"));
    QString error;
    EXPECT_FALSE(writeTimingDocument(tracker(), file, &error));
    EXPECT_TRUE(error.contains(file)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(directoryEntries(m_directory.path()), QStringList());
    EXPECT_EQ(describe(tracker()), before);
}

TEST_F(SavedState, ADocumentThatCannotBeReplacedIsReportedAndKeptAsItWas)
{
    const QString directory = path(QStringLiteral("readonly"));
    const QString file = directory + QStringLiteral("/week.kestrum");
    ASSERT_TRUE(QDir(m_directory.path()).mkdir(QStringLiteral("readonly")));
    ASSERT_TRUE(writeRawFile(file, "old timings"));
    ASSERT_EQ(::chmod(QFile::encodeName(m_directory.path()).constData(), 0755), 0);

    loadVariedTimings();
    const Outcome outcome = inReadOnlyDirectoryAsUser(directory, [&] {
        Outcome result;
        result.ok = writeTimingDocument(tracker(), file, &result.error);
        return result;
    });

    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.error.contains(file)) << outcome.error.toStdString();
    EXPECT_TRUE(outcome.error.contains(QStringLiteral("Permission denied"))) << outcome.error.toStdString();
    EXPECT_EQ(fileContents(file), "old timings");
    EXPECT_EQ(directoryEntries(directory), QStringList{QStringLiteral("week.kestrum")});
}

// The shared folder's day files and manifest: what one device writes, another reads back to the
// millisecond whatever the names hold, and a file that is not whole or is of a later format is
// refused with its line, never half read.

#include "sync/DayFile.h"

#include <QProcess>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace {

const QString kDevice = QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301");
const QDate kDay(2026, 1, 5);

DayFile sampleDay()
{
    const QDateTime nine(kDay, QTime(8, 0), Qt::UTC);
    DayFile file{kDevice, kDay, {}, {}};
    Stretch recorded;
    recorded.start = nine.addMSecs(1);
    recorded.end = nine.addSecs(600);
    recorded.seconds = 599.999;
    recorded.application = QStringLiteral("Editor \"quoted\"\\ \u00e9\U0001F600");
    recorded.window = QStringLiteral("line one\nline two\t\u202Eevil");
    Stretch answered;
    answered.start = nine.addSecs(600);
    answered.end = nine.addSecs(2400);
    answered.seconds = 1800.0;
    answered.application = QStringLiteral("Meeting");
    answered.source = StretchSource::Answered;
    answered.category = CategoryPath{QStringLiteral("Work"), QStringLiteral("Meetings")};
    Stretch added = answered;
    added.start = nine.addSecs(-3600);
    added.end = nine;
    added.seconds = 3600.0;
    added.source = StretchSource::Added;
    added.note = QStringLiteral("before the computer was on");
    file.stretches = {added, recorded, answered};
    file.assignments = {{0, nine, nine.addSecs(300), {QStringLiteral("Work"), QStringLiteral("Docs")}, 1}};
    return file;
}

} // namespace

TEST(DayFile, WhatOneDeviceWritesAnotherReadsBackWholeAndPythonReadsItToo)
{
    const DayFile written = sampleDay();
    const QByteArray text = written.toJsonLines();
    QString error;
    const std::optional<DayFile> read = DayFile::fromJsonLines(text, &error);
    ASSERT_TRUE(read) << error.toStdString();
    EXPECT_EQ(read->device, kDevice);
    EXPECT_EQ(read->day, kDay);
    ASSERT_EQ(read->stretches.size(), 3);
    for (qsizetype i = 0; i < 3; ++i) {
        const Stretch &a = written.stretches.at(i);
        const Stretch &b = read->stretches.at(i);
        EXPECT_EQ(b.start, a.start);
        EXPECT_EQ(b.end, a.end);
        EXPECT_DOUBLE_EQ(b.seconds, a.seconds);
        EXPECT_EQ(b.application, a.application);
        EXPECT_EQ(b.window, a.window);
        EXPECT_EQ(b.source, a.source);
        EXPECT_EQ(b.category, a.category);
        EXPECT_EQ(b.note, a.note);
    }
    ASSERT_EQ(read->assignments.size(), 1);
    EXPECT_EQ(read->assignments.first().category, written.assignments.first().category);
    EXPECT_EQ(DayFile::fileName(kDay), QStringLiteral("2026-01-05.jsonl"));

    QTemporaryFile file;
    ASSERT_TRUE(file.open() && file.write(text) == text.size() && file.flush());
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral(R"(
import json, sys
lines = [json.loads(line) for line in open(sys.argv[1], encoding='utf-8')]
print(lines[0]['format'], lines[0]['day'], len(lines))
print(lines[2]['window'].split('\n')[1][:8], lines[2]['start'], lines[1]['source'], lines[4]['assignment']['category'][1])
)"), file.fileName()});
    ASSERT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.readAllStandardOutput(), "1 2026-01-05 5\nline two 2026-01-05T08:00:00.001Z added Docs\n")
        << python.readAllStandardError().toStdString();

    // The checksum tells an unchanged day from a changed one.
    EXPECT_EQ(DayManifest::checksum(text), DayManifest::checksum(sampleDay().toJsonLines()));
    DayFile changed = sampleDay();
    changed.stretches[1].seconds += 0.001;
    EXPECT_NE(DayManifest::checksum(text), DayManifest::checksum(changed.toJsonLines()));
    const DayManifest manifest{kDevice, QStringLiteral("Laptop"), {{kDay, DayManifest::checksum(text)}}};
    const std::optional<DayManifest> again = DayManifest::fromJson(manifest.toJson(), &error);
    ASSERT_TRUE(again) << error.toStdString();
    EXPECT_EQ(again->name, QStringLiteral("Laptop"));
    EXPECT_EQ(again->days, manifest.days);
}

TEST(DayFile, AFileNotWholeOfALaterFormatOrWithABadLineIsRefusedWithItsLine)
{
    const QByteArray text = sampleDay().toJsonLines();
    const auto refusal = [](const QByteArray &bytes) {
        QString error;
        EXPECT_FALSE(DayFile::fromJsonLines(bytes, &error)) << bytes.toStdString();
        return error;
    };
    // Half synced: cut in the middle of its third line. (A cut at a line's end reads as a shorter
    // day: the manifest's checksum tells that one.)
    EXPECT_EQ(refusal(text.left(text.indexOf('\n', text.indexOf('\n') + 1) + 20)).left(7), QStringLiteral("line 3:"));
    EXPECT_TRUE(refusal(QByteArray(text).replace("\"format\":1", "\"format\":2")).contains(QStringLiteral("newer")));
    EXPECT_TRUE(refusal(QByteArray(text).replace("\"answered\"", "\"guessed\"")).startsWith(QStringLiteral("line 4:")));
    EXPECT_TRUE(refusal(QByteArray(text).replace(kDevice.toUtf8(), "my-laptop")).startsWith(QStringLiteral("line 1:")));
    QString error;
    EXPECT_FALSE(DayManifest::fromJson(R"({"format": 9, "device": "3f2504e0-4f89-11d3-9a0c-0305e82c3301", "days": {}})", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("newer"))) << error.toStdString();
    EXPECT_FALSE(DayManifest::fromJson(R"({"format": 1, "device": "3f2504e0-4f89-11d3-9a0c-0305e82c3301", "days": {"2026-01-05": "md5:x"}})", &error));
}

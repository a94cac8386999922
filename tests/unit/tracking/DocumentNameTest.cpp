#include "tracking/DocumentName.h"

#include <gtest/gtest.h>

#include <QList>
#include <QStringView>

// Readable failure messages.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.left(80).toStdString() << (text.size() > 80 ? "...\" (" : "\" (") << text.size() << " code units)";
}

namespace {

QString str(const char16_t *text)
{
    return QString::fromUtf16(text);
}

std::string show(const std::optional<QString> &name)
{
    return name ? '"' + name->toStdString() + '"' : std::string("none");
}

qsizetype codePoints(const QString &text)
{
    return qsizetype(text.toUcs4().size());
}

const QChar kHigh = QChar(0xD83D); // with kLow: U+1F600, a smiling face
const QChar kLow = QChar(0xDE00);

} // namespace

TEST(DocumentName, TitlesAndTheirNames)
{
    const std::pair<const char16_t *, std::optional<const char16_t *>> cases[] = {
        {u"notes.txt", u"notes.txt"},
        {u"notes.txt (edited)", u"notes.txt"},
        {u"Inbox @ Home", u"Inbox"},
        {u"  week plan  ", u"week plan"},
        {u"a(b)c", u"a"},
        {u"Report - Chapter 3", u"Report - Chapter 3"},
        {u"Report (1) @ home", u"Report"},
        {u"a@b(c", u"a"},
        {u"(untitled)", std::nullopt},
        {u"@home", std::nullopt},
        {u"", std::nullopt},
        {u"   ", std::nullopt},
        {u"\t \u00A0", std::nullopt},
        {u"  (untitled)", std::nullopt},
        {u" \t@home", std::nullopt},
        {u"\n (untitled)", std::nullopt},
        {u"\n\n\r\n", std::nullopt},
        {u"Straße – Übersicht", u"Straße – Übersicht"},
    };
    for (const auto &[title, name] : cases) {
        const std::optional<QString> expected = name ? std::optional<QString>(str(*name)) : std::nullopt;
        EXPECT_EQ(getDocStringNameForName(str(title)), expected)
            << "title \"" << str(title).toStdString() << "\" gave " << show(getDocStringNameForName(str(title)));
    }
}

TEST(DocumentName, LeadingLineBreaksAreSkipped)
{
    EXPECT_EQ(getDocStringNameForName(str(u"\n\nnotes.txt")), str(u"notes.txt"));
    EXPECT_EQ(getDocStringNameForName(str(u"\r\n  \t notes.txt (edited)")), str(u"notes.txt"));
    EXPECT_EQ(getDocStringNameForName(str(u"\u2028\u2029\u0085\x0B\x0Cnotes")), str(u"notes"));
}

TEST(DocumentName, HorizontalSpaceIsTrimmedButLineBreaksInsideStay)
{
    // Tab, no-break space, ideographic space and the other space separators.
    EXPECT_EQ(getDocStringNameForName(str(u"notes.txt\t\u00A0\u3000\u2003")), str(u"notes.txt"));
    EXPECT_EQ(getDocStringNameForName(str(u"notes.txt \t(edited)")), str(u"notes.txt"));
    EXPECT_EQ(getDocStringNameForName(str(u"first line\nsecond (x)")), str(u"first line\nsecond"));
    // Only horizontal space is trimmed; a line break at the end is part of the name.
    EXPECT_EQ(getDocStringNameForName(str(u"notes\n")), str(u"notes\n"));
}

TEST(DocumentName, ControlCharactersAndLoneSurrogatesAreKept)
{
    const QString controls = QChar(0) + str(u"\x01notes\x1B[0m\x7F");
    EXPECT_EQ(getDocStringNameForName(controls), controls);

    const QString loneHigh = QString(kHigh) + str(u"abc");
    EXPECT_EQ(getDocStringNameForName(loneHigh), loneHigh);
    const QString loneLow = str(u"abc") + kLow;
    EXPECT_EQ(getDocStringNameForName(loneLow), loneLow);
    const QString highAtEnd = str(u"abc ") + kHigh;
    EXPECT_EQ(getDocStringNameForName(highAtEnd), highAtEnd);
    const QString reversedPair = str(u"x") + kLow + kHigh + str(u" (y)");
    EXPECT_EQ(getDocStringNameForName(reversedPair), str(u"x") + kLow + kHigh);
}

TEST(DocumentName, NamesAreCutTo1024CodePoints)
{
    const QString exact(kMaxDocumentNameLength, u'a');
    EXPECT_EQ(getDocStringNameForName(exact), exact);
    EXPECT_EQ(getDocStringNameForName(exact + u'b'), exact);
    EXPECT_EQ(getDocStringNameForName(QString(3000, u'a')), exact);

    // Leading space and what follows "(" do not count.
    EXPECT_EQ(getDocStringNameForName(str(u"   ") + exact + str(u"   (edited)")), exact);
}

TEST(DocumentName, TheCutNeverSplitsASurrogatePair)
{
    QString emoji;
    for (int i = 0; i < 1500; ++i)
        emoji += QString(kHigh) + kLow;

    const std::optional<QString> name = getDocStringNameForName(emoji);
    ASSERT_TRUE(name);
    EXPECT_EQ(name->size(), 2 * kMaxDocumentNameLength);
    EXPECT_EQ(codePoints(*name), kMaxDocumentNameLength);
    EXPECT_TRUE(QStringView(*name).isValidUtf16());

    // One plain letter first puts the pairs off by one code unit.
    const std::optional<QString> shifted = getDocStringNameForName(u'a' + emoji);
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->size(), 1 + 2 * (kMaxDocumentNameLength - 1));
    EXPECT_EQ(codePoints(*shifted), kMaxDocumentNameLength);
    EXPECT_TRUE(QStringView(*shifted).isValidUtf16());
    EXPECT_TRUE(shifted->endsWith(kLow));

    // Lone surrogates count one each.
    const std::optional<QString> lone = getDocStringNameForName(QString(2000, kHigh));
    ASSERT_TRUE(lone);
    EXPECT_EQ(lone->size(), kMaxDocumentNameLength);
}

TEST(DocumentName, ACutNameHasNoTrailingSpace)
{
    // The cut falls right after a space: the name is trimmed again.
    const QString title = QString(kMaxDocumentNameLength - 1, u'a') + str(u" and more");
    const std::optional<QString> name = getDocStringNameForName(title);
    ASSERT_TRUE(name);
    EXPECT_EQ(*name, QString(kMaxDocumentNameLength - 1, u'a'));
}

TEST(DocumentName, MegabyteTitles)
{
    constexpr qsizetype megabyte = 1 << 20;
    EXPECT_EQ(getDocStringNameForName(QString(megabyte, u'x')), QString(kMaxDocumentNameLength, u'x'));
    EXPECT_EQ(getDocStringNameForName(QString(megabyte, u' ')), std::nullopt);
    EXPECT_EQ(getDocStringNameForName(QString(megabyte, u'\n') + u'(' + QString(megabyte, u'x')), std::nullopt);
    EXPECT_EQ(getDocStringNameForName(str(u"notes.txt (") + QString(megabyte, u'x') + u')'), str(u"notes.txt"));
}

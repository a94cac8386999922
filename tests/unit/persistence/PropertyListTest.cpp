#include "persistence/PropertyList.h"

#include "FileTestSupport.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPoint>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Shows values as the XML they would be written as, so a failure says what differed.
void PrintTo(const QVariant &value, std::ostream *os)
{
    QByteArray xml;
    QString error;
    if (PropertyList::serialize(value, &xml, &error)) {
        *os << xml.toStdString();
    } else {
        QString text;
        QDebug(&text) << value;
        *os << text.toStdString();
    }
}

namespace {

using Dict = PropertyListDictionary;

const QByteArray kHeader = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n");

QByteArray document(const QByteArray &body)
{
    return kHeader + "<plist version=\"1.0\">\n" + body + "\n</plist>\n";
}

// Same type and same value, doubles bit for bit, dictionaries in the same key order.
bool identical(const QVariant &a, const QVariant &b)
{
    if (a.metaType() != b.metaType())
        return false;
    if (a.metaType() == QMetaType::fromType<Dict>()) {
        const Dict x = a.value<Dict>();
        const Dict y = b.value<Dict>();
        if (x.keys() != y.keys())
            return false;
        for (qsizetype i = 0; i < x.size(); ++i) {
            if (!identical(x.at(i).second, y.at(i).second))
                return false;
        }
        return true;
    }
    switch (a.metaType().id()) {
    case QMetaType::QVariantList: {
        const QVariantList x = a.toList();
        const QVariantList y = b.toList();
        return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), identical);
    }
    case QMetaType::Double:
        return std::bit_cast<quint64>(a.toDouble()) == std::bit_cast<quint64>(b.toDouble());
    case QMetaType::QDateTime:
        return a.toDateTime() == b.toDateTime() && a.toDateTime().timeZone() == b.toDateTime().timeZone();
    default:
        return a == b;
    }
}

QByteArray serialized(const QVariant &value)
{
    QByteArray xml;
    QString error;
    EXPECT_TRUE(PropertyList::serialize(value, &xml, &error)) << error.toStdString();
    return xml;
}

QVariant parsed(const QByteArray &xml)
{
    const PropertyListResult result = PropertyList::parse(xml);
    EXPECT_TRUE(result.ok()) << result.error.toStdString() << "\n" << xml.toStdString();
    return result.value;
}

QVariant roundTrip(const QVariant &value)
{
    return parsed(serialized(value));
}

QString parseError(const QByteArray &xml)
{
    const PropertyListResult result = PropertyList::parse(xml);
    EXPECT_FALSE(result.ok()) << "accepted:\n" << xml.toStdString();
    EXPECT_FALSE(result.value.isValid());
    return result.error;
}

QDateTime utc(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

QVariant nested(int depth)
{
    QVariant value = QStringLiteral("bottom");
    for (int i = 0; i < depth; ++i)
        value = i % 2 ? QVariant(QVariantList{value}) : QVariant::fromValue(Dict{{QStringLiteral("k"), value}});
    return value;
}

QByteArray nestedArrays(int depth)
{
    return document(QByteArray("<array>").repeated(depth) + QByteArray("</array>").repeated(depth));
}

Dict everyType()
{
    return Dict{
        {QStringLiteral("string"), QStringLiteral("Grüße, 世界 🙂 <&> ]]> \t\n  ")},
        {QStringLiteral("empty string"), QString()},
        {QStringLiteral("integer"), QVariant::fromValue<qint64>(-42)},
        {QStringLiteral("large unsigned"), QVariant::fromValue<quint64>(std::numeric_limits<quint64>::max())},
        {QStringLiteral("real"), 2.5},
        {QStringLiteral("true"), true},
        {QStringLiteral("false"), false},
        {QStringLiteral("date"), utc(2026, 1, 5, 9, 0, 0)},
        {QStringLiteral("data"), QByteArray("\x00\x01\xfe\xff binary", 12)},
        {QStringLiteral("empty data"), QByteArray()},
        {QStringLiteral("array"), QVariantList{QStringLiteral("a"), QVariant::fromValue<qint64>(1), QVariantList{}}},
        {QStringLiteral("empty dict"), QVariant::fromValue(Dict())},
        {QStringLiteral("dict"), QVariant::fromValue(Dict{{QStringLiteral("inner"), QVariantList{true}}})},
    };
}

} // namespace

// --- round trips -------------------------------------------------------------------------

TEST(PropertyListRoundTrip, EveryTypeReadsBackAsWritten)
{
    const QVariant value = QVariant::fromValue(everyType());
    EXPECT_PRED2(identical, roundTrip(value), value);
    for (const auto &[key, member] : everyType())
        EXPECT_PRED2(identical, roundTrip(member), member) << key.toStdString();
}

TEST(PropertyListRoundTrip, OutputIsAnAppleStyleUtf8Document)
{
    const QByteArray xml = serialized(QVariant::fromValue(Dict{{QStringLiteral("name"), QStringLiteral("Grüße")}}));
    EXPECT_TRUE(xml.startsWith(kHeader + "<plist version=\"1.0\">\n")) << xml.toStdString();
    EXPECT_TRUE(xml.endsWith("</plist>\n")) << xml.toStdString();
    EXPECT_TRUE(xml.contains("<key>name</key>"));
    EXPECT_TRUE(xml.contains("<string>Gr\xc3\xbc\xc3\x9f" "e</string>")) << xml.toStdString();
}

TEST(PropertyListRoundTrip, OtherWritableTypesReadBackAsTheirPropertyListForm)
{
    const QVariantMap map{{QStringLiteral("b"), 1}, {QStringLiteral("a"), 2}};
    QVariantHash hash;
    for (const QString &key : {QStringLiteral("delta"), QStringLiteral("alpha"), QStringLiteral("charlie")})
        hash.insert(key, key.size());
    const auto intVariant = [](qint64 n) { return QVariant::fromValue(n); };

    const std::pair<QVariant, QVariant> cases[] = {
        {map, QVariant::fromValue(Dict{{QStringLiteral("a"), intVariant(2)}, {QStringLiteral("b"), intVariant(1)}})},
        {hash, QVariant::fromValue(Dict{{QStringLiteral("alpha"), intVariant(5)},
                                        {QStringLiteral("charlie"), intVariant(7)},
                                        {QStringLiteral("delta"), intVariant(5)}})},
        {QStringList{QStringLiteral("x"), QStringLiteral("y")}, QVariantList{QStringLiteral("x"), QStringLiteral("y")}},
        {QVariant(0.1f), QVariant(double(0.1f))},
        {QVariant(-7), intVariant(-7)},
        {QVariant(7u), intVariant(7)},
        {QVariant::fromValue<short>(-300), intVariant(-300)},
        {QVariant::fromValue<unsigned short>(65535), intVariant(65535)},
        {QVariant::fromValue<signed char>(-5), intVariant(-5)},
        {QVariant::fromValue<unsigned char>(200), intVariant(200)},
        {QVariant::fromValue<long>(-123456789012L), intVariant(-123456789012)},
        {QVariant::fromValue<unsigned long>(123456789012UL), intVariant(123456789012)},
        {QVariant::fromValue<qulonglong>(5), intVariant(5)},
        // A date in any time zone is written as the same instant in UTC, in whole seconds.
        {QDateTime(QDate(2026, 1, 5), QTime(10, 0, 0, 999), QTimeZone(3600)), utc(2026, 1, 5, 9, 0, 0)},
    };
    for (const auto &[written, read] : cases)
        EXPECT_PRED2(identical, roundTrip(written), read) << written.metaType().name();
}

TEST(PropertyListRoundTrip, UnwritableValuesAreErrorsThatSayWhere)
{
    const std::pair<QVariant, const char *> cases[] = {
        {QVariant(), "cannot write an empty value at the top level"},
        {QVariant::fromValue(Dict{{QStringLiteral("Apps"), QVariantList{1, QVariant(QPoint())}}}),
         "cannot write a value of type QPoint at Apps/1"},
        {QVariant::fromValue(Dict{{QStringLiteral("when"), QDateTime()}}), "cannot write an invalid date at when"},
        {QVariantList{QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC)},
         "cannot write a date outside the years 1 to 9999 at 0"},
        {QVariant::fromValue(nullptr), "cannot write a value of type std::nullptr_t at the top level"},
    };
    for (const auto &[value, message] : cases) {
        QByteArray xml = "untouched";
        QString error;
        EXPECT_FALSE(PropertyList::serialize(value, &xml, &error));
        EXPECT_EQ(error.toStdString(), message);
        EXPECT_EQ(xml, "untouched");
    }
}

TEST(PropertyListRoundTrip, SixtyFourLevelsOfNestingAreTheLimitForWritingToo)
{
    EXPECT_PRED2(identical, roundTrip(nested(64)), nested(64));
    QByteArray xml;
    QString error;
    EXPECT_FALSE(PropertyList::serialize(nested(65), &xml, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("cannot write more than 64 nested containers at k/0/k/"))) << error.toStdString();
}

// --- numbers -------------------------------------------------------------------------------

TEST(PropertyListNumbers, EveryFiniteDoubleReadsBackBitForBit)
{
    const double cases[] = {
        1.0 / 3, 0.1, 1e-310, std::numeric_limits<double>::denorm_min(), DBL_MIN, DBL_MAX, -DBL_MAX, -0.0, 0.0,
        9007199254740993.0, 123456.789, 1e21, 1e-7, -2.5,
    };
    for (double value : cases)
        EXPECT_PRED2(identical, roundTrip(value), QVariant(value)) << serialized(value).toStdString();

    std::mt19937_64 random(20260105);
    for (int i = 0; i < 20000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value))
            continue;
        ASSERT_PRED2(identical, roundTrip(value), QVariant(value)) << serialized(value).toStdString();
    }
}

TEST(PropertyListNumbers, RealsAreWrittenInTheirShortestForm)
{
    EXPECT_TRUE(serialized(0.1).contains("<real>0.1</real>"));
    EXPECT_TRUE(serialized(1.0 / 3).contains("<real>0.3333333333333333</real>"));
    EXPECT_TRUE(serialized(-0.0).contains("<real>-0</real>"));
    EXPECT_TRUE(serialized(DBL_MAX).contains("<real>1.7976931348623157e+308</real>"));
}

TEST(PropertyListNumbers, NanInfinitiesAndOtherSpellingsOfReals)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(serialized(inf).contains("<real>+infinity</real>"));
    EXPECT_TRUE(serialized(-inf).contains("<real>-infinity</real>"));
    EXPECT_TRUE(serialized(std::nan("")).contains("<real>nan</real>"));
    EXPECT_EQ(roundTrip(inf).toDouble(), inf);
    EXPECT_EQ(roundTrip(-inf).toDouble(), -inf);
    EXPECT_TRUE(std::isnan(roundTrip(std::nan("")).toDouble()));

    const std::pair<const char *, double> spellings[] = {
        {"inf", inf}, {"+inf", inf}, {"-inf", -inf}, {"infinity", inf}, {"Infinity", inf}, {"-INFINITY", -inf},
    };
    for (const auto &[text, value] : spellings)
        EXPECT_EQ(parsed(document(QByteArray("<real>") + text + "</real>")).toDouble(), value) << text;
    const std::pair<const char *, double> decimals[] = {
        {"5.", 5.0}, {".5", 0.5}, {"-.5e-3", -0.0005}, {"+1E+2", 100.0}, {" 2.5\n", 2.5}, {"007", 7.0},
    };
    for (const auto &[text, value] : decimals)
        EXPECT_EQ(parsed(document(QByteArray("<real>") + text + "</real>")).toDouble(), value) << text;
    const QVariant nan = parsed(document("<real>NaN</real>"));
    EXPECT_EQ(nan.metaType(), QMetaType::fromType<double>());
    EXPECT_TRUE(std::isnan(nan.toDouble()));
}

TEST(PropertyListNumbers, IntegersKeepTheirTypeAndFullRange)
{
    const std::pair<const char *, QVariant> cases[] = {
        {"0", QVariant::fromValue<qint64>(0)},
        {"-0", QVariant::fromValue<qint64>(0)},
        {"+17", QVariant::fromValue<qint64>(17)},
        {" 17\n", QVariant::fromValue<qint64>(17)},
        {"0x1F", QVariant::fromValue<qint64>(31)},
        {"9223372036854775807", QVariant::fromValue(std::numeric_limits<qint64>::max())},
        {"-9223372036854775808", QVariant::fromValue(std::numeric_limits<qint64>::min())},
        {"9223372036854775808", QVariant::fromValue<quint64>(9223372036854775808ULL)},
        {"18446744073709551615", QVariant::fromValue(std::numeric_limits<quint64>::max())},
    };
    for (const auto &[text, value] : cases)
        EXPECT_PRED2(identical, parsed(document(QByteArray("<integer>") + text + "</integer>")), value) << text;

    for (const QVariant &value : {QVariant::fromValue(std::numeric_limits<qint64>::min()),
                                  QVariant::fromValue(std::numeric_limits<qint64>::max()),
                                  QVariant::fromValue(std::numeric_limits<quint64>::max())}) {
        EXPECT_PRED2(identical, roundTrip(value), value);
    }
}

TEST(PropertyListNumbers, IntegersWhereRealsAreExpectedStayIntegers)
{
    const Dict dict = parsed(document("<dict><key>activeTime</key><integer>5</integer></dict>")).value<Dict>();
    EXPECT_EQ(dict.value(QStringLiteral("activeTime")).metaType(), QMetaType::fromType<qint64>());
    EXPECT_EQ(dict.value(QStringLiteral("activeTime")).toDouble(), 5.0);
}

// --- dates, data and text -----------------------------------------------------------------

TEST(PropertyListValues, DatesAreUtcInTheFormatsOneForm)
{
    const QVariant date = parsed(document("<date>2026-01-05T09:00:00Z</date>"));
    EXPECT_PRED2(identical, date, QVariant(utc(2026, 1, 5, 9, 0, 0)));
    EXPECT_TRUE(serialized(utc(2026, 1, 5, 9, 0, 0)).contains("<date>2026-01-05T09:00:00Z</date>"));
    EXPECT_TRUE(serialized(utc(1, 2, 3, 4, 5, 6)).contains("<date>0001-02-03T04:05:06Z</date>"));
    EXPECT_PRED2(identical, roundTrip(utc(1, 2, 3, 4, 5, 6)), QVariant(utc(1, 2, 3, 4, 5, 6)));
}

TEST(PropertyListValues, DataMayHoldWhitespaceBetweenItsBase64)
{
    EXPECT_PRED2(identical, parsed(document("<data>\n\tAAEC\n\tAwQF\r\n BgcI\n</data>")),
                 QVariant(QByteArray("\x00\x01\x02\x03\x04\x05\x06\x07\x08", 9)));
    EXPECT_PRED2(identical, parsed(document("<data></data>")), QVariant(QByteArray()));
    QByteArray large(100000, Qt::Uninitialized);
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = char(i * 7);
    EXPECT_PRED2(identical, roundTrip(large), QVariant(large));
}

TEST(PropertyListValues, CommentsCdataAndCharacterReferencesAreText)
{
    EXPECT_PRED2(identical,
                 parsed(document("<!-- a comment --><string>a<!-- inside -->b<![CDATA[<c>]]>&amp;&#x263A;</string>")),
                 QVariant(QStringLiteral("ab<c>&\u263A")));
}

TEST(PropertyListValues, DocumentsWithoutDoctypeOrDeclarationAreRead)
{
    EXPECT_PRED2(identical, parsed("<plist><true/></plist>"), QVariant(true));
    EXPECT_PRED2(identical, parsed("<?xml version=\"1.0\"?>\n<plist version=\"1.0\"><string>x</string></plist>"),
                 QVariant(QStringLiteral("x")));
}

// Files in the common form are read by a quick reader of their bytes, anything else by the full
// XML reader. Both must come to the same value, or to the same refusal.
TEST(PropertyListValues, TheQuickAndTheFullReaderAgree)
{
    const QList<QByteArray> bodies = {
        "<dict><key>a &amp; b</key><string>&lt;&gt;&quot;&apos;&#13;&#x1F600;&#233;</string><key>e</key><dict/></dict>",
        "<array><string>caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\x85</string><string/><array/></array>",
        "<dict><key>k</key><integer>-12</integer><key>k</key><real>2.5</real><key>d</key><date>2026-01-05T09:00:00Z</date>"
        "<key>b</key><data>eHl6</data><key>t</key><true/><key>f</key><false/></dict>",
        // malformed UTF-8: a stray continuation byte, an overlong form, a surrogate, U+FFFE
        "<string>\x80</string>", "<string>\xC0\xAF</string>", "<string>\xED\xA0\x80</string>", "<string>\xEF\xBF\xBE</string>",
        // what XML refuses or reads otherwise
        "<string>a\x01" "b</string>", "<string>a\rb\r\nc</string>", "<string>]]></string>", "<string>&#0;</string>",
        "<string>&#xD800;</string>", "<string>&nbsp;</string>", "<string>&#X41;</string>", "<string>a</strin>",
        "<integer>12x</integer>", "<integer>99999999999999999999</integer>", "<real>1e999</real>", "<true>x</true>",
        "<dict><key>a</key></dict>", "<dict><string>a</string></dict>", "<key>a</key>", "<array><string>a</string>",
        "<dict a=\"b\"><key>x</key><true/></dict>", "<string>a</string><string>b</string>",
        // reals at the edges of what is read straight from the bytes
        "<array><real>0.1</real><real>-12.5e3</real><real>5.</real><real>.5</real><real>+1</real><real>-0</real>"
        "<real>1.7976931348623157e308</real><real>2.2250738585072014e-308</real><real> 2.5 </real></array>",
        "<real>1e-310</real>", "<real>1e-400</real>", "<real>1e309</real>", "<real>1-2</real>", "<real>1e</real>",
        // a partial end tag before a key, spaces inside a reference
        "<dict></<key>a</key><true/></dict>", "<array></<true/></array>", "<string>&#65 ;&#x41\t;</string>",
    };
    for (const QByteArray &body : bodies) {
        // the last: an attribute run into the root's name
        for (const QByteArray &xml : {document(body), "<plist>" + body + "</plist>",
                                      "<plistversion=\"1.0\">" + body + "</plist>"}) {
            const PropertyListResult quick = PropertyList::parse(xml);
            const PropertyListResult full = PropertyList::parseWithFullReader(xml);
            EXPECT_EQ(quick.error, full.error) << xml.constData();
            EXPECT_PRED2(identical, quick.value, full.value) << xml.constData();
        }
    }
}

// --- dictionaries --------------------------------------------------------------------------

TEST(PropertyListDictionaries, KeysKeepTheFilesOrder)
{
    const QByteArray xml = document("<dict>\n"
                                    "<key>zebra</key><integer>1</integer>\n"
                                    "<key>apple</key><integer>2</integer>\n"
                                    "<key>mango</key><dict><key>y</key><true/><key>x</key><false/></dict>\n"
                                    "</dict>");
    const Dict dict = parsed(xml).value<Dict>();
    EXPECT_EQ(dict.keys(), (QStringList{QStringLiteral("zebra"), QStringLiteral("apple"), QStringLiteral("mango")}));
    EXPECT_EQ(dict.value(QStringLiteral("mango")).value<Dict>().keys(),
              (QStringList{QStringLiteral("y"), QStringLiteral("x")}));

    const QByteArray written = serialized(QVariant::fromValue(dict));
    EXPECT_LT(written.indexOf("<key>zebra</key>"), written.indexOf("<key>apple</key>"));
    EXPECT_LT(written.indexOf("<key>apple</key>"), written.indexOf("<key>mango</key>"));
    EXPECT_PRED2(identical, parsed(written), QVariant::fromValue(dict));
}

TEST(PropertyListDictionaries, ADuplicateKeysLaterValueWinsInTheFirstPosition)
{
    const Dict dict = parsed(document("<dict><key>a</key><integer>1</integer>"
                                      "<key>b</key><integer>2</integer>"
                                      "<key>a</key><string>again</string></dict>"))
                          .value<Dict>();
    EXPECT_EQ(dict.keys(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(dict.value(QStringLiteral("a")), QVariant(QStringLiteral("again")));
}

TEST(PropertyListDictionaries, InsertReplacesInPlaceAndRemoveKeepsTheRestInOrder)
{
    // Large enough to be looked up through the index, not by scanning.
    for (int count : {3, 40}) {
        Dict dict;
        QStringList expectedKeys;
        for (int i = count; i > 0; --i) {
            dict.insert(QString::number(i), i);
            expectedKeys.append(QString::number(i));
        }
        dict.insert(QStringLiteral("2"), QStringLiteral("two"));
        EXPECT_EQ(dict.keys(), expectedKeys);
        EXPECT_EQ(dict.value(QStringLiteral("2")), QVariant(QStringLiteral("two")));
        EXPECT_EQ(dict.size(), count);

        EXPECT_TRUE(dict.remove(QString::number(count)));
        EXPECT_FALSE(dict.remove(QString::number(count)));
        expectedKeys.removeFirst();
        EXPECT_EQ(dict.keys(), expectedKeys);
        for (int i = 1; i < count; ++i)
            EXPECT_TRUE(dict.contains(QString::number(i))) << i;
        EXPECT_FALSE(dict.contains(QString::number(count)));
        EXPECT_EQ(dict.value(QStringLiteral("1")), QVariant(1));
        EXPECT_EQ(dict.value(QStringLiteral("missing"), 9), QVariant(9));

        dict.clear();
        EXPECT_TRUE(dict.isEmpty());
        EXPECT_FALSE(dict.contains(QStringLiteral("1")));
    }
}

TEST(PropertyListDictionaries, DuplicateKeysInALargeDictionary)
{
    constexpr int kKeys = 200000;
    QByteArray body = "<dict>";
    for (int i = 0; i < kKeys; ++i)
        body += "<key>k" + QByteArray::number(i % (kKeys / 2)) + "</key><integer>" + QByteArray::number(i) + "</integer>";
    body += "</dict>";
    const Dict dict = parsed(document(body)).value<Dict>();
    ASSERT_EQ(dict.size(), kKeys / 2);
    EXPECT_EQ(dict.at(0).first, QStringLiteral("k0"));
    EXPECT_EQ(dict.value(QStringLiteral("k0")).toLongLong(), kKeys / 2);
}

// --- text XML cannot hold ------------------------------------------------------------------

TEST(PropertyListText, CharactersXmlCannotHoldAreWrittenAsReplacementCharacters)
{
    const QString unsafe = QStringLiteral("a\x01" "b\x1f" "c\x0b\x0c" "d") + QChar(0xFFFE) + QChar(0xFFFF)
        + QChar(0xD800) + u'e' + QChar(0xDC00) + QChar(0xDBFF);
    const QString safe = QStringLiteral("a\uFFFDb\uFFFDc\uFFFD\uFFFDd\uFFFD\uFFFD\uFFFDe\uFFFD\uFFFD");
    const QString kept = QStringLiteral("tab\tline\nemoji \U0001F600 \uFDD0 \x7f\u0085 \U0010FFFF");

    const QVariant value = QVariant::fromValue(Dict{{unsafe, unsafe}, {kept, kept}});
    const QByteArray xml = serialized(value);
    EXPECT_PRED2(identical, parsed(xml), QVariant::fromValue(Dict{{safe, safe}, {kept, kept}}));
}

TEST(PropertyListText, EveryUtf16CodeUnitIsWrittenSoThatItReadsBack)
{
    // Each code unit stands alone: neighbouring surrogates would form a valid pair.
    QString all;
    QString expected;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        all.append(QChar(char16_t(c)));
        all.append(u' ');
        const bool allowed = c >= 0x20 ? (c < 0xD800 || c > 0xDFFF) && c != 0xFFFE && c != 0xFFFF
                                       : c == 0x9 || c == 0xA || c == 0xD;
        expected.append(allowed ? QChar(char16_t(c)) : QChar(QChar::ReplacementCharacter));
        expected.append(u' ');
    }
    EXPECT_PRED2(identical, roundTrip(all), QVariant(expected));
    EXPECT_PRED2(identical, roundTrip(QVariant::fromValue(Dict{{all, true}})), QVariant::fromValue(Dict{{expected, true}}));
}

// A long text is escaped a piece at a time; a pair of surrogates across a piece's end stays
// one character, and a lone surrogate there still becomes a replacement character.
TEST(PropertyListText, LongTextsKeepEveryCharacterWhereverTheyAreCut)
{
    for (qsizetype before = 4090; before <= 4100; ++before) {
        const QString filler(before, u'&');
        const QString pair = filler + QStringLiteral("\U0001F600<") + filler;
        EXPECT_PRED2(identical, roundTrip(pair), QVariant(pair)) << before;
        const QString lone = filler + QChar(0xD83D) + filler;
        EXPECT_PRED2(identical, roundTrip(lone), QVariant(filler + QChar(QChar::ReplacementCharacter) + filler)) << before;
    }
}

TEST(PropertyListText, CarriageReturnsSurviveInValuesAndKeys)
{
    for (const QString &text : {QStringLiteral("a\rb"), QStringLiteral("\r\n"), QStringLiteral("\r"),
                                QStringLiteral("line\r\nline\n\r"), QStringLiteral("\r\r")}) {
        EXPECT_PRED2(identical, roundTrip(text), QVariant(text));
        EXPECT_PRED2(identical, roundTrip(QVariant::fromValue(Dict{{text, text}})), QVariant::fromValue(Dict{{text, text}}));
    }
    EXPECT_TRUE(serialized(QStringLiteral("a\rb")).contains("<string>a&#13;b</string>"));
}

// --- the locale ------------------------------------------------------------------------------

namespace {

QVariant numbersAndDates()
{
    return QVariant::fromValue(Dict{
        {QStringLiteral("reals"), QVariantList{1234.5678, 0.1, -1e-310, 1e300, 2.0}},
        {QStringLiteral("integers"), QVariantList{QVariant::fromValue<qint64>(1234567), QVariant::fromValue<qint64>(-5)}},
        {QStringLiteral("date"), utc(2026, 1, 5, 9, 0, 0)},
    });
}

void expectLocaleIndependent(const QByteArray &reference)
{
    EXPECT_EQ(serialized(numbersAndDates()), reference);
    EXPECT_PRED2(identical, parsed(reference), numbersAndDates());
    EXPECT_PRED2(identical, parsed(document("<real>1234.5678</real>")), QVariant(1234.5678));
    EXPECT_FALSE(PropertyList::parse(document("<real>1234,5678</real>")).ok());
}

} // namespace

TEST(PropertyListLocale, QtsGermanDefaultLocaleChangesNothing)
{
    const LocaleGuard guard;
    const QByteArray reference = serialized(numbersAndDates());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_EQ(QLocale().toString(1.5), QStringLiteral("1,5"));
    expectLocaleIndependent(reference);
}

TEST(PropertyListLocale, TheCLibrarysGermanLocaleChangesNothing)
{
    const LocaleGuard guard;
    const QByteArray reference = serialized(numbersAndDates());
    const QTemporaryDir directory;
    if (!setGermanCLocale(directory))
        GTEST_SKIP() << "no de_DE.UTF-8 locale and no locale sources to build it from";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 1.5);
    ASSERT_STREQ(text, "1,5");
    QLocale::setDefault(QLocale::system());
    expectLocaleIndependent(reference);
}

// --- what is refused --------------------------------------------------------------------------

TEST(PropertyListRefusals, NestingDeeperThanSixtyFourContainers)
{
    EXPECT_TRUE(PropertyList::parse(nestedArrays(64)).ok());
    EXPECT_PRED2(identical, parsed(serialized(nested(64))), nested(64));

    EXPECT_TRUE(parseError(nestedArrays(65)).endsWith(QStringLiteral("more than 64 nested containers")));
    // Far deeper input is refused as soon as the limit is passed.
    EXPECT_TRUE(parseError(nestedArrays(1000000)).contains(QStringLiteral("more than 64 nested containers")));
}

TEST(PropertyListRefusals, DoctypesWithAnInternalSubset)
{
    const char *doctypes[] = {
        "<!DOCTYPE plist [<!ENTITY name \"value\">]>",
        "<!DOCTYPE plist SYSTEM \"x.dtd\" [ ]>",
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\" "
        "[<!NOTATION n SYSTEM \"n\">]>",
        "<!DOCTYPE plist [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>",
    };
    for (const char *doctype : doctypes) {
        const QString error = parseError(QByteArray(doctype) + "<plist><string>&name;&d;</string></plist>");
        EXPECT_TRUE(error.startsWith(QStringLiteral("line 1, column ")) && error.contains(QStringLiteral("internal subset")))
            << error.toStdString();
    }
    // A bracket inside the identifiers' quotes is no internal subset.
    EXPECT_TRUE(PropertyList::parse("<!DOCTYPE plist SYSTEM \"a[b].dtd\"><plist><true/></plist>").ok());
}

TEST(PropertyListRefusals, ErrorsSayWhatAndWhere)
{
    const QByteArray xml = kHeader
        + "<plist version=\"1.0\">\n"
          "<dict>\n"
          "\t<key>a</key>\n"
          "\t<integer>12x</integer>\n"
          "</dict>\n"
          "</plist>\n";
    EXPECT_EQ(parseError(xml).toStdString(), "line 6, column 11: malformed <integer> value \"12x\"");

    // A long or multi-line value is shown short, on one line.
    const QString longValue = parseError(document("<integer>\n1\n2" + QByteArray(1000, '3') + "</integer>"));
    EXPECT_EQ(longValue.toStdString(), "line 4, column 10: malformed <integer> value \"1 2" + std::string(36, '3') + "\u2026\"");

    // XML lets DEL and the C1 controls through; quoted, they cannot drive a terminal.
    EXPECT_EQ(parseError(document("<integer>1\x7f\xc2\x9b" "2J</integer>")).toStdString(),
              "line 4, column 10: malformed <integer> value \"1\\x7f\\x9b2J\"");
}

TEST(PropertyListRefusals, MalformedOrMisplacedContent)
{
    const std::pair<const char *, const char *> cases[] = {
        // values
        {"<integer>12x</integer>", "malformed <integer> value \"12x\""},
        {"<integer></integer>", "malformed <integer> value \"\""},
        {"<integer>1.5</integer>", "malformed <integer> value \"1.5\""},
        {"<integer>0x</integer>", "malformed <integer> value \"0x\""},
        {"<integer>18446744073709551616</integer>", "<integer> value \"18446744073709551616\" is out of range"},
        {"<integer>-9223372036854775809</integer>", "<integer> value \"-9223372036854775809\" is out of range"},
        {"<real>1.2.3</real>", "malformed <real> value \"1.2.3\""},
        {"<real>1,5</real>", "malformed <real> value \"1,5\""},
        {"<real></real>", "malformed <real> value \"\""},
        {"<real>0x10</real>", "malformed <real> value \"0x10\""},
        {"<real>1e999</real>", "<real> value \"1e999\" is out of range"},
        {"<real>-1e-400</real>", "<real> value \"-1e-400\" is out of range"},
        {"<real>1e5e5</real>", "malformed <real> value \"1e5e5\""},
        {"<real>.</real>", "malformed <real> value \".\""},
        {"<real>1e</real>", "malformed <real> value \"1e\""},
        {"<real>infinite</real>", "malformed <real> value \"infinite\""},
        {"<date>2026-13-01T00:00:00Z</date>", "malformed <date> value \"2026-13-01T00:00:00Z\""},
        {"<date>2026-01-05 09:00:00</date>", "malformed <date> value"},
        {"<date>2026-01-05T09:00:00</date>", "malformed <date> value"},
        {"<data>AA!=</data>", "malformed <data> value \"AA!=\""},
        {"<data>AA==AA==</data>", "malformed <data> value"},
        {"<true>yes</true>", "<true> holds text \"yes\""},
        {"<string>a<b/>c</string>", "unexpected <b> inside <string>"},
        // structure
        {"<foo/>", "unknown element <foo>"},
        {"<array><integer>1</integer><bar>2</bar></array>", "unknown element <bar>"},
        {"<x:dict xmlns:x=\"urn:x\"></x:dict>", "unknown element <x:dict>"},
        {"<array>loose text</array>", "text \"loose text\" where an element is expected"},
        {"<dict>text</dict>", "text \"text\" where an element is expected"},
        {"stray<true/>", "text \"stray\" where an element is expected"},
        {"<key>k</key>", "<key> outside a <dict>"},
        {"<array><key>k</key></array>", "<key> outside a <dict>"},
        {"<dict><key>k</key></dict>", "key \"k\" has no value"},
        {"<dict><key>k</key><key>l</key><true/></dict>", "key \"k\" has no value"},
        {"<dict><true/></dict>", "expected <key> in <dict>, found <true>"},
        {"", "<plist> holds no value"},
        {"<true/><false/>", "<plist> holds more than one value"},
        {"<string>&undeclared;</string>", "reference to the undeclared entity &undeclared;"},
    };
    for (const auto &[body, message] : cases) {
        const QString error = parseError(document(body));
        EXPECT_TRUE(error.startsWith(QStringLiteral("line ")) && error.contains(QString::fromUtf8(message)))
            << body << "\n  gave: " << error.toStdString();
    }
}

TEST(PropertyListRefusals, DocumentsThatAreNoPropertyList)
{
    const std::pair<QByteArray, const char *> cases[] = {
        {"", "line 1, column 1: "},
        {kHeader, "line 3, column 1: "},
        {"<?xml version=\"1.0\"?><!-- nothing -->", "line 1, column "},
        {"<dict></dict>", "the root element is <dict>, not <plist>"},
        {"<plist version=\"2.0\"><true/></plist>", "unsupported property-list version \"2.0\""},
        {"<plist><true/>", "line 1, column "},
        {"<plist><array></dict></plist>", "line 1, column "},
        {"<plist><true/></plist><plist/>", "line 1, column "},
        {"<plist><true/></plist>trailing", "line 1, column "},
        {"<plist><string>\x01</string></plist>", "line 1, column "},
        {"<plist><string>\xff\xfe</string></plist>", "line 1, column "},
        {"<plist><string>&#0;</string></plist>", "line 1, column "},
        {QByteArray("<plist><string>a\0b</string></plist>", 34), "line 1, column "},
    };
    for (const auto &[xml, message] : cases) {
        const QString error = parseError(xml);
        EXPECT_TRUE(error.contains(QString::fromUtf8(message))) << xml.toStdString() << "\n  gave: " << error.toStdString();
    }
}

// --- files -------------------------------------------------------------------------------------

class PropertyListFiles : public ::testing::Test
{
protected:
    QString path(const char *name) const { return m_directory.filePath(QString::fromUtf8(name)); }

    void write(const QString &file, const QByteArray &contents)
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        ASSERT_EQ(out.write(contents), contents.size());
    }

    QTemporaryDir m_directory;
};

TEST_F(PropertyListFiles, ARegularFileIsRead)
{
    write(path("doc.plist"), serialized(QVariant::fromValue(everyType())));
    const PropertyListResult result = PropertyList::readFile(path("doc.plist"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_PRED2(identical, result.value, QVariant::fromValue(everyType()));
}

TEST_F(PropertyListFiles, ErrorsNameTheFile)
{
    write(path("bad.plist"), document("<integer>x</integer>"));
    EXPECT_EQ(PropertyList::readFile(path("bad.plist")).error,
              path("bad.plist") + QStringLiteral(": line 4, column 10: malformed <integer> value \"x\""));
    EXPECT_EQ(PropertyList::readFile(path("missing.plist")).error,
              path("missing.plist") + QStringLiteral(": No such file or directory"));
}

TEST_F(PropertyListFiles, OnlyRegularFilesAreRead)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    // Waiting for a writer that never comes would hang: the alarm ends the test instead.
    ::alarm(20);
    const PropertyListResult fifo = PropertyList::readFile(path("fifo"));
    ::alarm(0);
    EXPECT_EQ(fifo.error, path("fifo") + QStringLiteral(": not a regular file"));

    EXPECT_EQ(PropertyList::readFile(m_directory.path()).error, m_directory.path() + QStringLiteral(": not a regular file"));
    EXPECT_EQ(PropertyList::readFile(QStringLiteral("/dev/zero")).error, QStringLiteral("/dev/zero: not a regular file"));
    EXPECT_FALSE(PropertyList::readFile(QStringLiteral("/dev/zero")).value.isValid());
}

TEST_F(PropertyListFiles, FilesOverTheSizeLimitAreRefusedUnread)
{
    // Sparse, so the test writes nothing to disk.
    const QByteArray name = QFile::encodeName(path("huge.plist"));
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, PropertyList::kMaxFileSize + 1), 0);
    ::close(fd);
    EXPECT_EQ(PropertyList::readFile(path("huge.plist")).error, path("huge.plist") + QStringLiteral(": larger than 256 MiB"));
}

// --- other programs' files and readers ------------------------------------------------------------

TEST_F(PropertyListFiles, ADocumentWrittenByPlistlibIsRead)
{
    const QString script = QStringLiteral(R"(
import datetime, plistlib, sys
value = {
    'zulu': 1, 'alpha': 2.5, 'mike': 'Grüße 🙂 <&>', 'activeTime': 3600,
    'Apps': [{'name': 'Firefox', 'time': 12, 'windows': [{'title': 'a\tb', 'time': 0.1}]}],
    'big': 2**63 + 1, 'negative': -(2**63), 'flag': True, 'off': False,
    'when': datetime.datetime(2026, 1, 5, 9, 0, 0), 'blob': bytes(range(256)) * 3, 'empty': {},
}
with open(sys.argv[1], 'wb') as f:
    plistlib.dump(value, f, sort_keys=False)
)");
    runPython(script, {path("python.plist")});
    const PropertyListResult result = PropertyList::readFile(path("python.plist"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();

    const Dict dict = result.value.value<Dict>();
    EXPECT_EQ(dict.keys().join(u' '),
              QStringLiteral("zulu alpha mike activeTime Apps big negative flag off when blob empty"));
    QByteArray blob;
    for (int i = 0; i < 3; ++i) {
        for (int c = 0; c < 256; ++c)
            blob.append(char(c));
    }
    const QVariant windows = QVariantList{QVariant::fromValue(
        Dict{{QStringLiteral("title"), QStringLiteral("a\tb")}, {QStringLiteral("time"), 0.1}})};
    const QVariant app = QVariant::fromValue(Dict{{QStringLiteral("name"), QStringLiteral("Firefox")},
                                                  {QStringLiteral("time"), QVariant::fromValue<qint64>(12)},
                                                  {QStringLiteral("windows"), windows}});
    const Dict expected{
        {QStringLiteral("zulu"), QVariant::fromValue<qint64>(1)},
        {QStringLiteral("alpha"), 2.5},
        {QStringLiteral("mike"), QStringLiteral("Grüße 🙂 <&>")},
        {QStringLiteral("activeTime"), QVariant::fromValue<qint64>(3600)},
        {QStringLiteral("Apps"), QVariantList{app}},
        {QStringLiteral("big"), QVariant::fromValue<quint64>(9223372036854775809ULL)},
        {QStringLiteral("negative"), QVariant::fromValue(std::numeric_limits<qint64>::min())},
        {QStringLiteral("flag"), true},
        {QStringLiteral("off"), false},
        {QStringLiteral("when"), utc(2026, 1, 5, 9, 0, 0)},
        {QStringLiteral("blob"), blob},
        {QStringLiteral("empty"), QVariant::fromValue(Dict())},
    };
    EXPECT_PRED2(identical, result.value, QVariant::fromValue(expected));
}

TEST_F(PropertyListFiles, PlistlibReadsWhatIsWritten)
{
    const Dict value{
        {QStringLiteral("zulu"), QVariant::fromValue<qint64>(-5)},
        {QStringLiteral("alpha"), QVariantList{1.0 / 3, 1e-310, -0.0, DBL_MAX, std::numeric_limits<double>::infinity(),
                                               -std::numeric_limits<double>::infinity()}},
        {QStringLiteral("text\r"), QStringLiteral("cr\r lf\n crlf\r\n bell\x07 ü 🙂")},
        {QStringLiteral("big"), QVariant::fromValue(std::numeric_limits<quint64>::max())},
        {QStringLiteral("when"), utc(2026, 1, 5, 9, 0, 0)},
        {QStringLiteral("blob"), QByteArray("\x00\xff", 2)},
        {QStringLiteral("yes"), true},
    };
    QFile out(path("kestrum.plist"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(serialized(QVariant::fromValue(value)));
    out.close();

    const QString script = QStringLiteral(R"(
import plistlib, sys
def show(v):
    if isinstance(v, bool): return repr(v)
    if isinstance(v, float): return v.hex()
    if isinstance(v, dict): return '{' + ', '.join(ascii(k) + ': ' + show(x) for k, x in v.items()) + '}'
    if isinstance(v, list): return '[' + ', '.join(show(x) for x in v) + ']'
    if isinstance(v, bytes): return v.hex()
    return ascii(v)
with open(sys.argv[1], 'rb') as f:
    print(show(plistlib.load(f)))
)");
    const QByteArray shown = runPython(script, {path("kestrum.plist")}).trimmed();
    EXPECT_EQ(shown.toStdString(),
              "{'zulu': -5, 'alpha': [0x1.5555555555555p-2, 0x0.012688b70e62bp-1022, -0x0.0p+0, "
              "0x1.fffffffffffffp+1023, inf, -inf], "
              "'text\\r': 'cr\\r lf\\n crlf\\r\\n bell\\ufffd \\xfc \\U0001f642', 'big': 18446744073709551615, "
              "'when': datetime.datetime(2026, 1, 5, 9, 0), 'blob': 00ff, 'yes': True}");
}

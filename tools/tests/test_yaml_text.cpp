// The YAML side of descriptions: how plain words are classified, how stored texts and general
// values are written, and that whatever is written reads back as the same value.

#include "tools/builder/yaml_reader.h"
#include "tools/builder/yaml_text.h"

#include <QDateTime>
#include <gtest/gtest.h>

#include <cmath>

using namespace tv;
using namespace tv::builder;

namespace {

// Writes `value` into a one-entry document and reads it back as a general value.
RecordValue throughYaml(const RecordValue& value, bool flow) {
    YamlNode root = YamlNode::map();
    if (flow) {
        root.add("v", YamlNode::seq(true).append(describeValue(value)));
    } else {
        root.add("v", describeValue(value));
    }
    const QByteArray doc = root.document();
    const YAML::Node node = YAML::Load(doc.toStdString());
    const Reader reader("probe.yaml");
    return reader.value(flow ? node["v"][0] : node["v"], "v");
}

} // namespace

TEST(YamlWords, PlainWordsAreNullBooleanNumberOrText) {
    for (const char* word : {"", "~", "null", "NULL"})
        EXPECT_TRUE(isNullWord(word)) << word;
    EXPECT_FALSE(isNullWord("none"));
    EXPECT_EQ(boolWord("True"), true);
    EXPECT_EQ(boolWord("false"), false);
    EXPECT_FALSE(boolWord("yes")) << "only true and false are booleans";
    EXPECT_EQ(numberWord("-12"), -12);
    EXPECT_EQ(numberWord(".5"), 0.5);
    EXPECT_EQ(numberWord("1E+20"), 1e20);
    EXPECT_EQ(numberWord("0x602010"), 0x602010);
    for (const char* text : {"1.2.3", "12px", "0x", "inf", "nan", "1e999", "- 1", "#FF0000"})
        EXPECT_FALSE(numberWord(text)) << text;
}

TEST(YamlWords, NumbersAreWrittenShortestAndReadBackExactly) {
    for (double v : {0.0, 1.0, -1.0, 0.1, 2.5, 1e20, 1.5e-05, 123456789012345.0, 1.0 / 3, -32768.0,
                     4294967295.0}) {
        const QString text = formatNumber(v);
        ASSERT_TRUE(numberWord(text)) << text.toStdString();
        EXPECT_EQ(*numberWord(text), v) << text.toStdString();
    }
    EXPECT_EQ(formatNumber(3), "3");
    EXPECT_EQ(formatNumber(0.1), "0.1");
}

TEST(YamlWords, StoredLineBreaksAndQuoteCharacters) {
    EXPECT_TRUE(describedPlainly("a\r\nb\r\n"));
    EXPECT_FALSE(describedPlainly("a\nb"));
    EXPECT_FALSE(describedPlainly("a\rb"));
    EXPECT_FALSE(describedPlainly("a\r"));
    EXPECT_EQ(toDescribed("a\r\nb"), "a\nb");
    EXPECT_EQ(toStored("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(toStored("a\r\nb"), "a\r\nb") << "CR LF is not doubled";

    EXPECT_EQ(encodeQuotes("MsgBox \"Hi\"", QuoteCodec::Bar), "MsgBox |Hi|");
    EXPECT_EQ(decodeQuotes("MsgBox |Hi|", QuoteCodec::Bar), "MsgBox \"Hi\"");
    const QString thorn(QChar(254));
    EXPECT_EQ(encodeQuotes("x = \"a\"", QuoteCodec::Thorn), "x = " + thorn + "a" + thorn);
    EXPECT_EQ(decodeQuotes("~a" + thorn, QuoteCodec::Thorn), "\"a\"") << "both stand for a quote";
    EXPECT_EQ(unstorableQuoteCharacter("a | b", QuoteCodec::Bar), QChar(u'|'));
    EXPECT_EQ(unstorableQuoteCharacter("a ~ b", QuoteCodec::Thorn), QChar(u'~'));
    EXPECT_FALSE(unstorableQuoteCharacter("a ~ b", QuoteCodec::Bar));
}

TEST(YamlValues, EveryKindOfValueReadsBackTheSameInBlocksAndLists) {
    const QStringList texts = {"plain",
                               "",
                               " leading",
                               "trailing ",
                               "a: b",
                               "a #b",
                               "- item",
                               "#hash",
                               "~",
                               "null",
                               "true",
                               "False",
                               "12",
                               "0x10",
                               "1e5",
                               "[x]",
                               "{y}",
                               "a, b",
                               "'quoted'",
                               "x'y",
                               "café",
                               "€ and ÿ",
                               "tab\there",
                               "ctl\x01",
                               "line\r\nnext",
                               "end\r\n",
                               "two\r\n\r\n",
                               "\r\nfirst",
                               "  indented\r\nx",
                               "lone\nfeed",
                               "lone\rcr",
                               "back\\slash",
                               "%percent",
                               "@at",
                               "!bang",
                               "trailing:",
                               "\u0081",
                               "a\r\n  b\r\n",
                               "|pipe",
                               ">fold",
                               "?q"};
    for (const QString& text : texts) {
        for (bool flow : {false, true}) {
            const RecordValue v = RecordValue::ofString(text);
            EXPECT_EQ(throughYaml(v, flow), v) << text.toStdString() << (flow ? " (list)" : "");
        }
    }
    const QList<RecordValue> others = {
        RecordValue::empty(),
        RecordValue::null(),
        RecordValue::ofBool(true),
        RecordValue::ofBool(false),
        RecordValue::ofNumber(-1),
        RecordValue::ofNumber(0.30000000000000004),
        RecordValue::ofError(5),
        RecordValue::ofDate(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58), Qt::UTC)),
        RecordValue::ofDate(QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC))};
    for (const RecordValue& v : others) {
        for (bool flow : {false, true})
            EXPECT_EQ(throughYaml(v, flow), v) << v.toText().toStdString();
    }
}

TEST(YamlValues, KeysThatWouldReadOtherwiseAreQuoted) {
    // Small maps are written on one line, larger ones as blocks: keys read back in both.
    for (const QStringList& keys : {QStringList{"a: b", "~", "[x]", "1"},
                                    QStringList{"a: b", "~", "[x]", "#k", "plain key", "1"}}) {
        YamlNode inner = YamlNode::map();
        for (const QString& key : keys)
            inner.add(key, YamlNode::text("v"));
        YamlNode root = YamlNode::map();
        root.add("other", std::move(inner));
        const QByteArray doc = root.document();
        EXPECT_EQ(doc.count('\n'), keys.size() == 4 ? 1 : 7) << doc.toStdString();
        const YAML::Node node = YAML::Load(doc.toStdString());
        QStringList read;
        for (auto it = node["other"].begin(); it != node["other"].end(); ++it)
            read.append(QString::fromStdString(it->first.Scalar()));
        EXPECT_EQ(read, keys);
    }
}

TEST(YamlValues, MultiLineTextsAreLiteralBlocksWhenThatReadsBack) {
    YamlNode root = YamlNode::map();
    root.add("script", YamlNode::text("Sub A()\r\n    MsgBox \"x\"\r\nEnd Sub"));
    root.add("verbatim", YamlNode::text("a\nb"));
    const QString doc = QString::fromUtf8(root.document("a comment"));
    EXPECT_TRUE(doc.startsWith("# a comment\n"));
    EXPECT_TRUE(doc.contains("script: |-\n  Sub A()\n      MsgBox \"x\"\n  End Sub\n"))
        << doc.toStdString();
    EXPECT_TRUE(doc.contains("verbatim: !verbatim \"a\\nb\"")) << doc.toStdString();
}

TEST(YamlValues, TextsBeyondTheFirstPlaneReadBack) {
    // Found by fuzzing: a character beyond the first plane was escaped as two halves, which YAML
    // does not read.
    const QString wide = QString("a") + QChar(0xD852) + QChar(0xDD24) + QChar(0x01) + "b";
    YamlNode root = YamlNode::map();
    root.add("name", YamlNode::text(wide));
    root.add("half", YamlNode::text(QString("x") + QChar(0xD852)));
    const QByteArray doc = root.document();
    const YAML::Node node = YAML::Load(doc.toStdString());
    EXPECT_EQ(QString::fromStdString(node["name"].as<std::string>()), wide) << doc.toStdString();
    EXPECT_EQ(QString::fromStdString(node["half"].as<std::string>()), QString("x") + QChar(0xFFFD));
}

TEST(YamlValues, QuestionMarksAndColonsInAFlowAreQuoted) {
    // Found by fuzzing: a word ending in "?" written plain in a flow did not read back.
    for (const QString& word : {QString("medi?"), QString("a:b"), QString("?x")}) {
        YamlNode root = YamlNode::map();
        YamlNode inner = YamlNode::map();
        inner.add("folder", YamlNode::text(word));
        root.add("build", std::move(inner));
        const QByteArray doc = root.document();
        const YAML::Node node = YAML::Load(doc.toStdString());
        EXPECT_EQ(QString::fromStdString(node["build"]["folder"].as<std::string>()), word)
            << doc.toStdString();
    }
}

#include "canvas/records/RtfText.h"

#include "../OffscreenQtTest.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RtfTextTest : public OffscreenQtTest {};

QFont makeFont(const char* family, int points, bool bold, bool italic) {
    QFont f(QString::fromLatin1(family));
    f.setPointSize(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

const NVColor kBlack{0, 0, 0};
const QString kPlainHeader = QStringLiteral("{\\rtf1\\deff0{\\fonttbl {\\f0\\fcharset0 "
                                            "helvetica;}}{\\colortbl;\\red0\\green0\\blue0;}\\cf1\\f2\\fs24");

struct WriteCase {
    const char* label;
    QString text;
    QFont font;
    NVColor color;
    QString rtf;
};

TEST_F(RtfTextTest, WritingTable) {
    const QFont plain = makeFont("helvetica", 12, false, false);
    const std::vector<WriteCase> cases = {
        {"empty", "", plain, kBlack, kPlainHeader + "}"},
        {"one line", "Hello", plain, kBlack, kPlainHeader + "Hello}"},
        {"two lines", "one\ntwo", plain, kBlack, kPlainHeader + "one\\par two}"},
        {"bold italic", "x", makeFont("helvetica", 12, true, true), kBlack, kPlainHeader + "\\b\\i x}"},
        {"bold", "x", makeFont("helvetica", 12, true, false), kBlack, kPlainHeader + "\\b x}"},
        {"italic", "x", makeFont("helvetica", 12, false, true), kBlack, kPlainHeader + "\\i x}"},
        {"colour and size", "x", makeFont("times", 9, false, false), NVColor{10, 200, 255},
         "{\\rtf1\\deff0{\\fonttbl {\\f0\\fcharset0 "
         "times;}}{\\colortbl;\\red10\\green200\\blue255;}\\cf1\\f2\\fs18x}"},
        {"backslash and braces", "a\\b{c}", plain, kBlack, kPlainHeader + "a\\\\b\\{c\\}}"},
        {"typed par", "\\par x", plain, kBlack, kPlainHeader + "\\\\par x}"},
        {"latin-1 and beyond", QString::fromUtf8("caf\u00e9 \u20ac"), plain, kBlack,
         kPlainHeader + "caf\\'e9 ?}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QString t = c.text;
        RtfText::convertIntoRTF(t, c.color, c.font);
        EXPECT_EQ(t, c.rtf);
    }
}

struct ReadCase {
    const char* label;
    QString plain; // what was written
    QString back;  // what reading gives
};

TEST_F(RtfTextTest, RoundTripTable) {
    const QFont plain = makeFont("helvetica", 12, false, false);
    const std::vector<ReadCase> cases = {
        {"empty", "", ""},
        {"one line", "Hello", "Hello"},
        {"two lines", "one\ntwo", "one\ntwo"},
        {"trailing line feed", "end\n", "end\n"},
        {"backslash and braces", "a\\b{c}\\", "a\\b{c}\\"},
        {"typed par comes back as typed", "\\par x", "\\par x"},
        {"typed escape", "\\'41 \\{", "\\'41 \\{"},
        {"latin-1", QString::fromUtf8("\u00fcber \u00a9"), QString::fromUtf8("\u00fcber \u00a9")},
        {"outside latin-1", QString::fromUtf8("\u4e2d\U0001F600x"), "??x"},
    };
    for (const QFont& font : {plain, makeFont("courier", 20, true, true)}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.label);
            QString t = c.plain;
            RtfText::convertIntoRTF(t, kBlack, font);
            RtfText::convertFromRTF(t, kBlack, font, t.size());
            EXPECT_EQ(t, c.back);
        }
    }
}

TEST_F(RtfTextTest, MismatchedFontOrColourKeepsTheHeader) {
    const QFont written = makeFont("helvetica", 12, false, false);
    QString t = "abc";
    RtfText::convertIntoRTF(t, kBlack, written);
    QString other = t;
    RtfText::convertFromRTF(other, kBlack, makeFont("helvetica", 14, false, false));
    EXPECT_EQ(other, kPlainHeader + "abc");
    other = t;
    RtfText::convertFromRTF(other, NVColor{1, 0, 0}, written);
    EXPECT_TRUE(other.endsWith("abc"));
    EXPECT_TRUE(other.startsWith("{\\rtf1"));
}

TEST_F(RtfTextTest, ReadingNothingGivesNothing) {
    QString t;
    RtfText::convertFromRTF(t, kBlack, makeFont("helvetica", 12, false, false));
    EXPECT_EQ(t, QString());
}

TEST_F(RtfTextTest, OldStyleUnescapedTextsReadAsBefore) {
    const QFont font = makeFont("helvetica", 12, false, false);
    struct Case {
        const char* label;
        QString rtf;
        QString plain;
    };
    const std::vector<Case> cases = {
        {"backslash before a letter", kPlainHeader + "C:\\temp\\new}", "C:\\temp\\new"},
        {"unescaped braces", kPlainHeader + "{x}}", "{x}"},
        {"par as line feed", kPlainHeader + "a\\par b}", "a\nb"},
        {"par without space stays", kPlainHeader + "a\\parb}", "a\\parb"},
        {"bad hex stays", kPlainHeader + "\\'zz}", "\\'zz"},
        {"lone backslash at the end", kPlainHeader + "x\\}", "x\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QString t = c.rtf;
        RtfText::convertFromRTF(t, kBlack, font);
        EXPECT_EQ(t, c.plain);
    }
}

} // namespace

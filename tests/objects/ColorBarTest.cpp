#include "objects/draw/CColorBar.h"

#include "support/QtTestApp.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using testsupport::TempDir;

namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> record(uint8_t used, int32_t column, uint32_t colorWord) {
    CColorBar::sColorStruct s;
    s.used = used;
    s.column = column;
    s.color = QColor::fromRgb(colorWord & 0xFFFFFF);
    auto b = s.toBytes();
    // The colour word as the file holds it, top byte included.
    b[12] = uint8_t(colorWord);
    b[13] = uint8_t(colorWord >> 8);
    b[14] = uint8_t(colorWord >> 16);
    b[15] = uint8_t(colorWord >> 24);
    return {b.begin(), b.end()};
}

// HOME is a fresh temporary folder with its data directory.
class CustomColoursFile : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = getenv("HOME");
        m_hadHome = old != nullptr;
        if (old)
            m_oldHome = old;
        setenv("HOME", m_dir.path().c_str(), 1);
        mkdir((m_dir.path() + "/zedaro").c_str(), 0755);
    }
    void TearDown() override {
        if (m_hadHome)
            setenv("HOME", m_oldHome.c_str(), 1);
        else
            unsetenv("HOME");
    }
    std::string path() const { return m_dir.path() + "/zedaro/customclr.clr"; }

    TempDir m_dir;
    std::string m_oldHome;
    bool m_hadHome = false;
};

// The widget tests run on an offscreen application of their own, removed
// after the suite unless another suite made one first.
class ColorBarWidget : public CustomColoursFile {
  protected:
    static void SetUpTestSuite() { testsupport::OffscreenAppSuite::SetUpTestSuite(); }
    static void TearDownTestSuite() { testsupport::OffscreenAppSuite::TearDownTestSuite(); }
};

void press(QWidget* w, QPoint pos, Qt::MouseButton button) {
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, button,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void doubleClick(QWidget* w, QPoint pos) {
    QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

// ---- Grid and hit test ----------------------------------------------------

struct HitCase {
    const char* name;
    int x, y;
    CColorBar::Hit::Kind kind;
    int index;
};

class ColorBarHit : public ::testing::TestWithParam<HitCase> {};

TEST_P(ColorBarHit, FindsTheCellUnderThePosition) {
    const HitCase& c = GetParam();
    CColorBar::Hit hit = CColorBar::hitTest(c.x, c.y);
    EXPECT_EQ(hit.kind, c.kind);
    if (c.kind != CColorBar::Hit::Nothing) {
        EXPECT_EQ(hit.index, c.index);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ColorBarHit,
    ::testing::Values(
        HitCase{"FirstCell", 13, 1, CColorBar::Hit::PaletteCell, 0},
        HitCase{"FirstCellFarCorner", 20, 8, CColorBar::Hit::PaletteCell, 0},
        HitCase{"SecondRowFirstCell", 13, 13, CColorBar::Hit::PaletteCell, 10},
        HitCase{"TenthCellOfRowOne", 12 * 10 + 1, 1, CColorBar::Hit::PaletteCell, 9},
        HitCase{"RowThreeFirstCell", 13, 25, CColorBar::Hit::PaletteCell, 20},
        HitCase{"RowTwentyOneLastCell", 12 * 12 + 1, 12 * 20 + 1, CColorBar::Hit::PaletteCell, 247},
        HitCase{"RowTwentyTwoFirstCell", 13, 12 * 21 + 1, CColorBar::Hit::PaletteCell, 248},
        HitCase{"RowTwentyTwoEighthCell", 12 * 8 + 1, 12 * 21 + 1, CColorBar::Hit::PaletteCell, 255},
        HitCase{"GapOnTheCellEdge", 24, 1, CColorBar::Hit::Nothing, -1},
        HitCase{"GapRightOfTheCell", 12 + 9, 1, CColorBar::Hit::Nothing, -1},
        HitCase{"GapAtOffsetEleven", 12 + 11, 1, CColorBar::Hit::Nothing, -1},
        HitCase{"GapBelowTheCell", 13, 10, CColorBar::Hit::Nothing, -1},
        HitCase{"LeftOfTheGrid", 5, 5, CColorBar::Hit::Nothing, -1},
        HitCase{"IndicatorColumnEleven", 12 * 11 + 1, 1, CColorBar::Hit::Nothing, -1},
        HitCase{"IndicatorColumnTwelveRowTwo", 12 * 12 + 1, 13, CColorBar::Hit::Nothing, -1},
        HitCase{"RowTwentyTwoNinthColumn", 12 * 9 + 1, 12 * 21 + 1, CColorBar::Hit::Nothing, -1},
        HitCase{"CustomCellOne", 13, 265, CColorBar::Hit::CustomCell, 0},
        HitCase{"CustomCellTwelve", 12 * 12 + 8, 272, CColorBar::Hit::CustomCell, 11},
        HitCase{"BelowTheCustomRow", 13, 280, CColorBar::Hit::Nothing, -1},
        HitCase{"RightOfTheGrid", 170, 1, CColorBar::Hit::Nothing, -1},
        HitCase{"BelowTheGrid", 13, 300, CColorBar::Hit::Nothing, -1}),
    [](const ::testing::TestParamInfo<HitCase>& info) { return std::string(info.param.name); });

TEST(ColorBarGrid, EveryPaletteCellIsHitAtItsOwnOrigin) {
    for (int i = 0; i < CColorBar::PALETTE_SIZE; ++i) {
        QPoint o = CColorBar::paletteCellOrigin(i);
        for (QPoint offset : {QPoint(1, 1), QPoint(8, 8)}) {
            CColorBar::Hit hit = CColorBar::hitTest(o.x() + offset.x(), o.y() + offset.y());
            ASSERT_EQ(hit.kind, CColorBar::Hit::PaletteCell) << "index " << i;
            ASSERT_EQ(hit.index, i);
        }
    }
}

TEST(ColorBarGrid, PaletteHoldsTheFixedColours) {
    EXPECT_EQ(CColorBar::defaultPaletteColor(0), 0x000000u);
    EXPECT_EQ(CColorBar::defaultPaletteColor(10), 0x808080u);
    EXPECT_EQ(CColorBar::defaultPaletteColor(17), 0xFFFFFFu);
    EXPECT_EQ(CColorBar::defaultPaletteColor(128), 0xFFE0E0u);
    EXPECT_EQ(CColorBar::defaultPaletteColor(253), 0x1F2000u);
    EXPECT_EQ(CColorBar::defaultPaletteColor(255), 0x000000u);
}

// ---- Records and the file -------------------------------------------------

TEST(ColorBarRecord, FieldsLieAtTheirOffsets) {
    CColorBar::sColorStruct s;
    s.used = 1;
    s.column = 7;
    s.color = QColor(0x12, 0x34, 0x56);
    auto b = s.toBytes();
    ASSERT_EQ(b.size(), 16u);
    const uint8_t expected[16] = {1, 0, 0, 0, 7, 0, 0, 0, 0x56, 0x34, 0x12, 0, 0x56, 0x34, 0x12, 0};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(b[i], expected[i]) << "byte " << i;
}

TEST(ColorBarRecord, OnlyTheLowTwentyFourBitsAreTheColour) {
    auto bytes = record(1, 3, 0xAB102030);
    CColorBar::sColorStruct s = CColorBar::sColorStruct::fromBytes(bytes.data());
    EXPECT_TRUE(s.isUsed());
    EXPECT_EQ(s.color, QColor(0x10, 0x20, 0x30));
}

TEST(ColorBarRecord, OnlyUsedEqualToOneHoldsAColour) {
    for (uint8_t used : {0, 2, 255}) {
        auto bytes = record(used, 0, 0x00FF0000);
        EXPECT_FALSE(CColorBar::sColorStruct::fromBytes(bytes.data()).isUsed()) << int(used);
    }
}

TEST_F(CustomColoursFile, RoundTripWritesTwelveRecordsOf16Bytes) {
    CColorBar::Slots out{};
    out[0] = {1, 0, QColor(255, 0, 0)};
    out[5] = {1, 99, QColor(1, 2, 3)};
    out[11] = {1, 11, QColor(9, 8, 7)};
    ASSERT_TRUE(CColorBar::writeSlots(path(), out));

    auto bytes = readFile(path());
    ASSERT_EQ(bytes.size(), CColorBar::FILE_SIZE);
    EXPECT_EQ(bytes[5 * 16 + 4], 5) << "the column written is the slot's own index";
    EXPECT_EQ(bytes[1 * 16 + 0], 0);
    EXPECT_EQ(bytes[1 * 16 + 4], 1);

    CColorBar::Slots in{};
    ASSERT_EQ(CColorBar::readSlots(path(), in), CColorBar::ReadResult::Loaded);
    for (int i = 0; i < CColorBar::CUSTOM_SLOTS; ++i) {
        EXPECT_EQ(in[i].isUsed(), out[i].isUsed()) << i;
        EXPECT_EQ(in[i].color.rgb(), out[i].color.rgb()) << i;
        EXPECT_EQ(in[i].column, i);
    }
}

struct FileSizeCase {
    const char* name;
    size_t bytes;
    int slotsLoaded;
};

class CustomColoursFileSize : public CustomColoursFile, public ::testing::WithParamInterface<FileSizeCase> {};

TEST_P(CustomColoursFileSize, LoadsOnlyWholeRecordsUpToTwelve) {
    const FileSizeCase& c = GetParam();
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 13; ++i) {
        auto r = record(1, 99, 0x00101010u * uint32_t(i + 1));
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    bytes.resize(c.bytes);
    writeFile(path(), bytes);

    CColorBar::Slots table{};
    const QColor untouched(1, 2, 3);
    for (auto& s : table)
        s.color = untouched;
    auto result = CColorBar::readSlots(path(), table);
    EXPECT_EQ(result, c.bytes == 0 ? CColorBar::ReadResult::Missing : CColorBar::ReadResult::Loaded);
    for (int i = 0; i < CColorBar::CUSTOM_SLOTS; ++i) {
        if (i < c.slotsLoaded) {
            EXPECT_TRUE(table[i].isUsed()) << i;
            EXPECT_EQ(table[i].color.rgb() & 0xFFFFFF, 0x101010u * uint32_t(i + 1)) << i;
            EXPECT_EQ(table[i].column, i) << "a column from the file is not trusted";
        } else {
            EXPECT_FALSE(table[i].isUsed()) << i;
            EXPECT_EQ(table[i].color, untouched) << "slot " << i << " keeps what it held";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, CustomColoursFileSize,
                         ::testing::Values(FileSizeCase{"Empty", 0, 0}, FileSizeCase{"OneRecord", 16, 1},
                                           FileSizeCase{"RecordCutShort", 24, 1},
                                           FileSizeCase{"OneByteShort", 191, 11},
                                           FileSizeCase{"Exact", 192, 12}, FileSizeCase{"Longer", 200, 12},
                                           FileSizeCase{"ThirteenRecords", 208, 12}),
                         [](const ::testing::TestParamInfo<FileSizeCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(CustomColoursFile, MissingFileLeavesTheSlotsEmpty) {
    CColorBar::Slots table{};
    EXPECT_EQ(CColorBar::readSlots(path(), table), CColorBar::ReadResult::Missing);
    for (const auto& s : table)
        EXPECT_FALSE(s.isUsed());
}

TEST_F(CustomColoursFile, FailedReplaceSaysWhyAndLeavesNoTemporaryFile) {
    // A folder in the file's place cannot be replaced, even by root.
    ASSERT_EQ(mkdir(path().c_str(), 0755), 0);
    writeFile(path() + "/keep", {1, 2, 3});
    CColorBar::Slots table{};
    std::string error;
    EXPECT_FALSE(CColorBar::writeSlots(path(), table, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readFile(path() + "/keep").size(), 3u);
    int entries = 0;
    std::string listing = m_dir.path() + "/zedaro";
    if (FILE* ls = popen(("ls -A '" + listing + "'").c_str(), "r")) {
        char line[256];
        while (fgets(line, sizeof line, ls))
            ++entries;
        pclose(ls);
    }
    EXPECT_EQ(entries, 1) << "only the folder itself, no temporary file";
}

TEST_F(ColorBarWidget, WriteIntoAMissingFolderIsReportedOnStandardError) {
    CColorBar bar(nullptr, "colorbar");
    setenv("HOME", (m_dir.path() + "/nowhere").c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(bar.write());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("customclr.clr"), std::string::npos) << err;
}

TEST_F(ColorBarWidget, LastIndexCountsUsedRecordsPlusOne) {
    CColorBar bar(nullptr, "colorbar");
    EXPECT_EQ(bar.getLastIndex(), 0) << "no file";
    std::vector<uint8_t> bytes;
    for (uint8_t used : {1, 0, 1, 2, 1}) {
        auto r = record(used, 0, 0);
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    writeFile(path(), bytes);
    EXPECT_EQ(bar.getLastIndex(), 4);
}

// ---- The widget -----------------------------------------------------------

TEST_F(ColorBarWidget, StartsWithWhiteOnSteelBlueAndTheFileSlots) {
    CColorBar::Slots table{};
    table[4] = {1, 4, QColor(200, 100, 50)};
    ASSERT_TRUE(CColorBar::writeSlots(path(), table));
    CColorBar bar(nullptr, "colorbar");
    EXPECT_EQ(bar.objectName(), "colorbar");
    EXPECT_EQ(bar.getDefaultForeColor(), QColor(255, 255, 255));
    EXPECT_EQ(bar.getDefaultBackColor(), QColor(176, 196, 222));
    EXPECT_TRUE(bar.customSlots()[4].isUsed());
    EXPECT_EQ(bar.customSlots()[4].color, QColor(200, 100, 50));
}

TEST_F(ColorBarWidget, PressesChooseTheColoursAndAlwaysSaveTheFile) {
    CColorBar bar(nullptr, "colorbar");
    std::vector<QColor> fore, back;
    QObject::connect(&bar, &CColorBar::foreColorChanged, [&](const QColor& c) { fore.push_back(c); });
    QObject::connect(&bar, &CColorBar::backColorChanged, [&](const QColor& c) { back.push_back(c); });

    press(&bar, {13, 1}, Qt::LeftButton);
    EXPECT_EQ(bar.getDefaultForeColor(), QColor(0, 0, 0));
    ASSERT_EQ(fore.size(), 1u);
    EXPECT_EQ(readFile(path()).size(), CColorBar::FILE_SIZE) << "every press writes the file";

    press(&bar, {13, 13}, Qt::RightButton);
    EXPECT_EQ(bar.getDefaultBackColor(), QColor(128, 128, 128));
    ASSERT_EQ(back.size(), 1u);

    unlink(path().c_str());
    press(&bar, {24, 1}, Qt::LeftButton);           // between cells
    press(&bar, {13, 280}, Qt::LeftButton);         // below the custom row
    press(&bar, {12 * 11 + 1, 1}, Qt::RightButton); // the indicator's place
    EXPECT_EQ(fore.size(), 1u) << "a miss gives the selected objects no colour";
    EXPECT_EQ(back.size(), 1u);
    EXPECT_EQ(bar.getDefaultForeColor(), QColor(0, 0, 0));
    EXPECT_EQ(readFile(path()).size(), CColorBar::FILE_SIZE) << "a miss still writes the file";

    press(&bar, {12 * 3 + 1, 266}, Qt::LeftButton); // empty custom cell
    EXPECT_EQ(bar.getDefaultForeColor(), QColor(0, 0, 0));
    EXPECT_EQ(fore.size(), 2u);
}

TEST_F(ColorBarWidget, DoubleClickOnACustomCellStoresTheColourAtOnce) {
    CColorBar bar(nullptr, "colorbar");
    QColor offered;
    bar.setColorChooser([&](const QColor& initial, QWidget*) {
        offered = initial;
        return QColor(12, 34, 56);
    });
    doubleClick(&bar, {12 * 5 + 1, 266}); // custom cell 5, slot 4
    EXPECT_EQ(offered, QColor(0, 55, 65));
    EXPECT_TRUE(bar.customSlots()[4].isUsed());
    EXPECT_EQ(bar.customSlots()[4].color, QColor(12, 34, 56));
    EXPECT_EQ(bar.getDefaultForeColor(), QColor(255, 255, 255)) << "a double click picks no colour";

    CColorBar::Slots saved{};
    ASSERT_EQ(CColorBar::readSlots(path(), saved), CColorBar::ReadResult::Loaded);
    EXPECT_TRUE(saved[4].isUsed());
    EXPECT_EQ(saved[4].color, QColor(12, 34, 56));

    // Hidden and shown again without any press: the colour survives.
    bar.show();
    bar.hide();
    bar.show();
    EXPECT_EQ(bar.customSlots()[4].color, QColor(12, 34, 56));
}

TEST_F(ColorBarWidget, DoubleClickOnAPaletteCellChangesItForTheRunOnly) {
    {
        CColorBar bar(nullptr, "colorbar");
        bar.setColorChooser([](const QColor&, QWidget*) { return QColor(1, 2, 3); });
        doubleClick(&bar, {13, 13}); // index 10
        EXPECT_EQ(bar.palette()[10], 0x010203u);
        bar.setColorChooser([](const QColor&, QWidget*) { return QColor(); });
        doubleClick(&bar, {13, 1}); // cancelled
        EXPECT_EQ(bar.palette()[0], 0x000000u);
    }
    CColorBar next(nullptr, "colorbar");
    EXPECT_EQ(next.palette()[10], 0x808080u);
}

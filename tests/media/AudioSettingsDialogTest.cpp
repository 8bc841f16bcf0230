// The audio settings dialog on the offscreen platform: rows, offered values and
// what a recording would read after a sequence of choices.
#include "media/AudioSettingsDialog.h"
#include "support/QtTestApp.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStatusBar>
#include <QTreeWidget>

#include <functional>

namespace {

class AudioSpec : public testsupport::OffscreenAppSuite {
  public:
    void SetUp() override {
        dialog = std::make_unique<CAudioSpec>(nullptr, "AudioSpecifications");
        dialog->show();
    }
    void select(CAudioSpec::Row row) { dialog->listView()->setCurrentItem(dialog->settingRow(row)); }
    void selectRoot() { dialog->listView()->setCurrentItem(dialog->rootRow()); }
    void choose(const QString& value) {
        QComboBox* combo = dialog->comboBox();
        ASSERT_NE(combo, nullptr);
        const int at = combo->findText(value);
        ASSERT_GE(at, 0) << value.toStdString();
        combo->setCurrentIndex(at);
    }
    sAudioSpecStruct read() const {
        sAudioSpecStruct s{-1, -1, -1, -1};
        dialog->ReadDataValues(&s);
        return s;
    }
    std::unique_ptr<CAudioSpec> dialog;
};

TEST_F(AudioSpec, BuiltAsFourRowsUnderTheRoot) {
    EXPECT_EQ(dialog->objectName(), "AudioSpecifications");
    EXPECT_EQ(dialog->windowTitle(), "Audio Specifications");
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->size(), QSize(290, 205));
    QTreeWidget* list = dialog->listView();
    EXPECT_EQ(list->objectName(), "AudioListView");
    EXPECT_EQ(list->geometry(), QRect(5, 0, 280, 180));
    EXPECT_EQ(list->headerItem()->text(0), "Audio Properties");
    EXPECT_EQ(list->headerItem()->text(1), "Values");
    EXPECT_EQ(list->header()->sectionSize(1), 90);
    EXPECT_FALSE(list->header()->sectionsClickable());
    EXPECT_EQ(list->header()->sectionResizeMode(1), QHeaderView::Fixed);
    ASSERT_EQ(list->topLevelItemCount(), 1);
    QTreeWidgetItem* root = list->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Audio Properties");
    EXPECT_FALSE(root->icon(0).isNull());
    EXPECT_TRUE(root->isExpanded());
    const char* names[] = {"Input Source", "Bits Per Sample", "Sampling Rate", "Channels"};
    const char* values[] = {"CD Audio", "8", "8000", "Mono"};
    ASSERT_EQ(root->childCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(root->child(i)->text(0), names[i]);
        EXPECT_EQ(root->child(i)->text(1), values[i]);
    }
    EXPECT_EQ(dialog->statusBar()->objectName(), "Audio Specifications");
    EXPECT_EQ(dialog->statusBar()->geometry(), QRect(5, 175, 305, 30));
    EXPECT_EQ(dialog->comboBox(), nullptr);
}

struct OfferCase {
    CAudioSpec::Row row;
    QStringList offered;
    const char* status;
};

TEST_F(AudioSpec, EachRowOffersItsValuesOverItsValueCell) {
    const OfferCase cases[] = {
        {CAudioSpec::INPUT_SOURCE, {"CD Audio", "Microphone"}, "Select Sound Input Source"},
        {CAudioSpec::BITS_PER_SAMPLE, {"8", "16"}, "Select Bits Per Sample"},
        {CAudioSpec::SAMPLING_RATE, {"8000", "11025", "22025", "44100"}, "Select Sampling Rate"},
        {CAudioSpec::CHANNELS, {"Mono", "Stereo"}, "Select Channel Type"},
    };
    for (const OfferCase& c : cases) {
        select(c.row);
        QComboBox* combo = dialog->comboBox();
        ASSERT_NE(combo, nullptr);
        QStringList offered;
        for (int i = 0; i < combo->count(); ++i)
            offered << combo->itemText(i);
        EXPECT_EQ(offered, c.offered);
        EXPECT_EQ(combo->objectName(), "ComboBox");
        EXPECT_FALSE(combo->isEditable());
        EXPECT_EQ(combo->size(), QSize(85, 20));
        EXPECT_EQ(combo->x(), dialog->listView()->header()->sectionPosition(1));
        EXPECT_EQ(combo->y(), dialog->listView()->visualItemRect(dialog->settingRow(c.row)).y());
        EXPECT_EQ(combo->currentText(), dialog->settingRow(c.row)->text(1)) << "the row's value is selected";
        EXPECT_TRUE(combo->isVisible());
        EXPECT_EQ(dialog->statusBar()->currentMessage(), c.status);
    }
}

struct ChoiceCase {
    const char* name;
    std::function<void(AudioSpec&)> steps;
    sAudioSpecStruct expected;
};

// What a recording reads after the author's choices.
TEST_F(AudioSpec, ChoicesAreStoredAsSoonAsTheyAreMade) {
    const ChoiceCase cases[] = {
        {"Untouched", [](AudioSpec&) {}, {100, 8000, 1, 8}},
        {"SourceShownThenAnotherRow",
         [](AudioSpec& t) {
             t.select(CAudioSpec::INPUT_SOURCE);
             t.select(CAudioSpec::BITS_PER_SAMPLE);
         },
         {100, 8000, 1, 8}},
        {"MicrophoneThenAnotherRow",
         [](AudioSpec& t) {
             t.select(CAudioSpec::INPUT_SOURCE);
             t.choose("Microphone");
             t.select(CAudioSpec::BITS_PER_SAMPLE);
         },
         {101, 8000, 1, 8}},
        {"RateChosenThenClosed",
         [](AudioSpec& t) {
             t.select(CAudioSpec::SAMPLING_RATE);
             t.choose("44100");
             t.dialog->close();
         },
         {100, 44100, 1, 8}},
        {"RateChosenThenRootRow",
         [](AudioSpec& t) {
             t.select(CAudioSpec::SAMPLING_RATE);
             t.choose("22025");
             t.selectRoot();
         },
         {100, 22025, 1, 8}},
        {"EveryRowChangedThenClosed",
         [](AudioSpec& t) {
             t.select(CAudioSpec::INPUT_SOURCE);
             t.choose("Microphone");
             t.select(CAudioSpec::BITS_PER_SAMPLE);
             t.choose("16");
             t.select(CAudioSpec::SAMPLING_RATE);
             t.choose("11025");
             t.select(CAudioSpec::CHANNELS);
             t.choose("Stereo");
             t.dialog->close();
         },
         {101, 11025, 2, 16}},
        {"ChosenWithTheKeyboard",
         [](AudioSpec& t) {
             t.select(CAudioSpec::CHANNELS);
             QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
             QCoreApplication::sendEvent(t.dialog->comboBox(), &down);
             t.dialog->hide();
         },
         {100, 8000, 2, 8}},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.steps(*this);
        EXPECT_EQ(read(), c.expected);
    }
}

TEST_F(AudioSpec, TheRootRowHidesTheComboBoxAndTheChosenValueStaysInItsRow) {
    select(CAudioSpec::INPUT_SOURCE);
    choose("Microphone");
    selectRoot();
    ASSERT_NE(dialog->comboBox(), nullptr);
    EXPECT_FALSE(dialog->comboBox()->isVisible());
    EXPECT_EQ(dialog->settingRow(CAudioSpec::INPUT_SOURCE)->text(1), "Microphone");
    select(CAudioSpec::BITS_PER_SAMPLE);
    EXPECT_EQ(dialog->comboBox()->currentText(), "8");
    EXPECT_EQ(read().inputSource, 101);
}

TEST_F(AudioSpec, SettingsLastAcrossShowings) {
    select(CAudioSpec::SAMPLING_RATE);
    choose("44100");
    dialog->hide();
    dialog->show();
    EXPECT_EQ(dialog->settingRow(CAudioSpec::SAMPLING_RATE)->text(1), "44100");
    select(CAudioSpec::CHANNELS);
    select(CAudioSpec::SAMPLING_RATE);
    EXPECT_EQ(dialog->comboBox()->currentText(), "44100") << "the row's own value is offered first";
    EXPECT_EQ(read().samplingRate, 44100);
}

} // namespace

#include "record/CaptureSettings.h"
#include "record/NVEventFilter.h"
#include "support/TestFonts.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace {

void ensureApplication() {
    if (QApplication::instance())
        return;
    testsupport::useTestFonts();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "record_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

struct SettingsCase {
    const char* name;
    bool validation;
    bool userActionsOnly;
    bool userActionsOnlyEnabled;
    bool frameRateEnabled;
    int result;
};

class CaptureSettingsTable : public ::testing::TestWithParam<SettingsCase> {
  protected:
    void SetUp() override { ensureApplication(); }
};

// Clicks the boxes as the author would: from the initial state (validation
// on, user actions only off) to the row's state.
TEST_P(CaptureSettingsTable, EnabledStatesAndResult) {
    const SettingsCase& c = GetParam();
    CaptureSettings dlg(nullptr, "Dialog");
    if (c.userActionsOnly)
        dlg.userActionsOnlyCheckBox()->click();
    if (!c.validation)
        dlg.validationCheckBox()->click();
    EXPECT_EQ(dlg.validationCheckBox()->isChecked(), c.validation);
    EXPECT_EQ(dlg.userActionsOnlyCheckBox()->isChecked(), c.userActionsOnly);
    EXPECT_EQ(dlg.userActionsOnlyCheckBox()->isEnabled(), c.userActionsOnlyEnabled);
    EXPECT_EQ(dlg.frameRateSpinBox()->isEnabled(), c.frameRateEnabled);
    dlg.setFrameRate(7);
    EXPECT_EQ(dlg.slotOKButtonClicked(), c.result);
    EXPECT_EQ(dlg.frameRate(), 7);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CaptureSettingsTable,
    ::testing::Values(SettingsCase{"ValidationOnly", true, false, true, true, 0},
                      SettingsCase{"ValidationAndUserActionsOnly", true, true, true, false, 3},
                      SettingsCase{"NoValidation", false, false, false, true, 4},
                      SettingsCase{"NoValidationUserActionsOnlyChecked", false, true, false, true, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CaptureSettings, LayoutAndTexts) {
    ensureApplication();
    CaptureSettings dlg(nullptr, "Dialog");
    EXPECT_EQ(dlg.objectName(), "Dialog");
    EXPECT_EQ(dlg.windowTitle(), "Capture Settings");
    EXPECT_TRUE(dlg.isModal());
    EXPECT_EQ(dlg.size(), QSize(320, 180));
    EXPECT_EQ(dlg.validationCheckBox()->text(), "Capture &Validation");
    EXPECT_TRUE(dlg.validationCheckBox()->isChecked());
    EXPECT_EQ(dlg.userActionsOnlyCheckBox()->text(), "Capture &User Actions Only");
    EXPECT_FALSE(dlg.userActionsOnlyCheckBox()->isChecked());
    EXPECT_EQ(dlg.okButton()->text(), "&OK");
    EXPECT_EQ(dlg.cancelButton()->text(), "&Cancel");
    EXPECT_EQ(dlg.okButton()->geometry(), QRect(120, 140, 70, 30));
    EXPECT_EQ(dlg.frameRateSpinBox()->geometry(), QRect(120, 82, 70, 20));
    auto labels = dlg.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->text(), "&Frame Rate ");
    EXPECT_EQ(labels[0]->buddy(), dlg.frameRateSpinBox());
}

TEST(CaptureSettings, FrameRateHeldToOneToTen) {
    ensureApplication();
    CaptureSettings dlg;
    const std::pair<int, int> cases[] = {{0, 1}, {1, 1}, {2, 2}, {10, 10}, {11, 10}, {-5, 1}};
    for (auto [given, shown] : cases) {
        dlg.setFrameRate(given);
        EXPECT_EQ(dlg.frameRateSpinBox()->value(), shown) << given;
    }
    dlg.frameRateSpinBox()->setValue(42);
    EXPECT_EQ(dlg.frameRateSpinBox()->value(), 10);
}

TEST(CaptureSettings, CancelAcceptsAndKeepsTheState) {
    ensureApplication();
    CaptureSettings dlg;
    dlg.validationCheckBox()->click();
    dlg.cancelButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.validationCheckBox()->isChecked());
}

TEST(CaptureSettings, RecordingLocksAndUnlocksTheControls) {
    ensureApplication();
    CaptureSettings dlg;
    dlg.userActionsOnlyCheckBox()->click(); // frame rate now disabled
    dlg.setCaptureControlsEnabled(false);
    EXPECT_FALSE(dlg.validationCheckBox()->isEnabled());
    EXPECT_FALSE(dlg.userActionsOnlyCheckBox()->isEnabled());
    EXPECT_FALSE(dlg.frameRateSpinBox()->isEnabled());
    dlg.setCaptureControlsEnabled(true);
    EXPECT_TRUE(dlg.validationCheckBox()->isEnabled());
    EXPECT_TRUE(dlg.userActionsOnlyCheckBox()->isEnabled());
    EXPECT_FALSE(dlg.frameRateSpinBox()->isEnabled());
}

TEST(NVEventFilter, LetsEveryEventThrough) {
    ensureApplication();
    NVEventFilter filter;
    QObject target;
    target.installEventFilter(&filter);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QFocusEvent focus(QEvent::FocusIn);
    QEvent activate(QEvent::WindowActivate);
    QEvent palette(QEvent::PaletteChange);
    QEvent appPalette(QEvent::ApplicationPaletteChange);
    QEvent other(QEvent::User);
    for (QEvent* e : {static_cast<QEvent*>(&press), static_cast<QEvent*>(&focus), &activate, &palette,
                      &appPalette, &other})
        EXPECT_FALSE(filter.eventFilter(&target, e)) << int(e->type());
}

} // namespace

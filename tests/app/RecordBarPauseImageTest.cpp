// The recording's Pause button shows the program's own pause sign (two
// bars) while recording, "pauseButton.xpm" while paused, and the sign again
// after resuming.
#include "MainWindowFixture.h"

#include <QApplication>
#include <QImage>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace mainwin;

namespace {

// The image files the program loads from its working directory.
std::string images() {
    return std::string(VELMORA_SOURCE_ROOT) + "/images";
}

class RecordBarPauseImage : public MainWindowTest {
  protected:
    std::string workingDirectory() const override { return images(); }

    QPushButton* pauseButton() const {
        for (QWidget* top : QApplication::topLevelWidgets())
            for (QPushButton* b : top->findChildren<QPushButton*>())
                if (b->toolTip() == "Pause" && top->isVisible())
                    return b;
        return nullptr;
    }
};

// Columns of the middle row that are drawn (not transparent), as "1"/"0".
std::string middleRow(const QImage& image) {
    std::string row;
    for (int x = 0; x < image.width(); ++x)
        row += qAlpha(image.pixel(x, image.height() / 2)) > 0 ? '1' : '0';
    return row;
}

std::string middleRow(const QIcon& icon, QSize size = QSize(14, 15)) {
    return icon.isNull() ? std::string() : middleRow(icon.pixmap(size).toImage());
}

TEST_F(RecordBarPauseImage, IsAPauseSignWhileRecordingAndTheFileWhilePaused) {
    w->slotRecordStartRecord();
    ASSERT_TRUE(w->recording().recording());
    QPushButton* pause = pauseButton();
    ASSERT_NE(pause, nullptr);
    EXPECT_EQ(middleRow(pause->icon()), "00011100111000") << "two bars while recording";

    const QImage file(QString::fromStdString(images() + "/pauseButton.xpm"));
    ASSERT_FALSE(file.isNull());
    w->slotWait();
    ASSERT_TRUE(w->recording().paused());
    EXPECT_EQ(middleRow(pause->icon(), file.size()), middleRow(file)) << "pauseButton.xpm while paused";
    EXPECT_NE(middleRow(file), "00011100111000");
    w->slotWait();
    EXPECT_EQ(middleRow(pause->icon()), "00011100111000") << "the sign again after resuming";
    w->slotTimerTick();
    EXPECT_EQ(middleRow(pause->icon()), "00011100111000") << "a timer tick keeps it";

    w->slotBackToNormal();
    EXPECT_FALSE(w->recording().recording());
}

} // namespace

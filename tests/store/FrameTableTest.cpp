#include "store/FrameTable.h"
#include "store/FrameStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace testsupport;

namespace {

constexpr int W = 8, H = 6, BPP = 4;
constexpr size_t ROW = W * BPP;

using Picture = std::vector<uint8_t>;

struct Listener : FrameTableListener {
    std::vector<std::string> calls;
    void addFrameObject(bool insert) override { calls.push_back(insert ? "insert" : "append"); }
    void addObjectsOnPaste(uint32_t s, uint32_t p) override {
        calls.push_back("paste " + std::to_string(s) + " " + std::to_string(p));
    }
    void changeObjectsOnCutPaste(uint32_t s, uint32_t p) override {
        calls.push_back("move " + std::to_string(s) + " " + std::to_string(p));
    }
    void deleteObjectsOnPurge(uint32_t f) override { calls.push_back("purge " + std::to_string(f)); }
};

// Twelve recorded frames: a key frame, then bands that each paint one row;
// frame i carries the key action with code 100 + i.
struct Fixture {
    TempDir dir;
    std::string path = dir.file("Untitled.dat");
    ProjectTables project;
    std::vector<SEditInfo>& edit = project.m_vEditInfo;
    std::vector<SPlayBackFrameInfo>& playBack = project.m_vPlayBackFrameInfo;
    uint32_t &frameCount = project.m_dwFrameCount, &userActions = project.m_dwUserActionFrame;
    int &current = project.m_currentFrame, &appended = project.m_appendedCount,
        &inserted = project.m_insertedCount, &nameCounter = project.m_frameNameCounter,
        &deleted = project.m_deletedCount;
    FrameStore store;
    Listener listener;
    std::vector<Picture> model; // expected pictures
    std::unique_ptr<FrameTable> table;

    explicit Fixture(int frames) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        SDatMainHeader mh;
        mh.capture = SRect{0, 0, W, H};
        mh.frameCount = uint32_t(frames);
        auto mb = mh.toBytes();
        std::fwrite(mb.data(), 1, mb.size(), f);
        uint32_t offset = 48;
        Picture pic(ROW * H, 0);
        for (int y = 0; y < H; ++y)
            pic[y * ROW] = uint8_t(200 + y);
        for (int i = 0; i < frames; ++i) {
            SDatFrameHeader h;
            h.frameNumber = uint32_t(i);
            const bool key = i == 0;
            int row = i % H;
            if (!key)
                std::fill(pic.begin() + row * ROW, pic.begin() + (row + 1) * ROW, uint8_t(i));
            h.data = key ? SRect{0, 0, W - 1, H - 1} : SRect{0, row, W - 1, row};
            h.keyFlag = key;
            const size_t len = key ? pic.size() : ROW;
            h.recordSize = uint32_t(60 + len);
            auto hb = h.toBytes();
            std::fwrite(hb.data(), 1, hb.size(), f);
            std::fwrite(pic.data() + (key ? 0 : row * ROW), 1, len, f);
            SEditInfo e;
            e.keyFlag = key;
            e.recordOffset = int32_t(offset);
            offset += h.recordSize;
            edit.push_back(e);
            SPlayBackFrameInfo p;
            p.vType = i == 0 ? VALIDATION_NONE : VALIDATION_KEY;
            p.xOrKey = i == 0 ? 0 : 100 + i;
            p.frameFlags = key ? PBF_KEY : 0;
            playBack.push_back(p);
            model.push_back(pic);
        }
        std::fclose(f);
        frameCount = uint32_t(frames);
        userActions = uint32_t(frames - 1);
        EXPECT_TRUE(store.open(path, FrameGeometry{W, H, BPP, 0}));
        table = std::make_unique<FrameTable>(project, store, SRect{0, 0, W - 1, H - 1}, &listener);
    }

    Picture picture(uint32_t n) {
        SDatFrameHeader h;
        EXPECT_EQ(store.getEditFrame(edit, n, h), FrameStore::Result::Ok) << store.lastError();
        return store.workBuffer();
    }
    std::vector<int> actions() const {
        std::vector<int> out;
        for (auto& p : playBack)
            out.push_back(p.vType == VALIDATION_NONE ? 0 : p.xOrKey);
        return out;
    }
    uint32_t headerCount() {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        uint8_t raw[48];
        EXPECT_EQ(std::fread(raw, 1, 48, f), 48u);
        std::fclose(f);
        return SDatMainHeader::fromBytes(raw).frameCount;
    }
    void expectPictures(const std::vector<Picture>& want, const char* step) {
        ASSERT_EQ(frameCount, want.size()) << step;
        ASSERT_EQ(edit.size(), want.size()) << step;
        ASSERT_EQ(playBack.size(), want.size()) << step;
        for (uint32_t i = 0; i < want.size(); ++i)
            EXPECT_TRUE(picture(i) == want[i]) << step << ": frame " << i;
    }
};

Picture blank() {
    return Picture(ROW * H, 0);
}

TEST(FrameTable, InsertBeforeTheFirstFrame) {
    Fixture f(12);
    f.current = 0;
    ASSERT_TRUE(f.table->insertFrame());
    auto want = f.model;
    want.insert(want.begin(), blank());
    f.expectPictures(want, "insert");
    EXPECT_EQ(f.playBack[0].name(), "Inserted 1");
    EXPECT_EQ(f.playBack[0].frameFlags, PBF_INSERTED | PBF_KEY);
    SDatFrameHeader h;
    ASSERT_TRUE(f.table->editHeaderRead(1, h));
    EXPECT_EQ(h.frameState, FRAME_STATE_FIRST) << "the old first frame keeps state 0";
    ASSERT_TRUE(f.table->editHeaderRead(0, h));
    EXPECT_EQ(h.frameState, FRAME_STATE_TIMER);
    EXPECT_EQ(f.headerCount(), 13u);
    EXPECT_EQ(f.listener.calls, std::vector<std::string>{"insert"});
}

TEST(FrameTable, CopyRangeBeforeAnEarlierFrame) {
    Fixture f(12);
    ASSERT_EQ(f.table->copyRangeFrames(3, 5, 1), 3);
    auto want = f.model;
    want.insert(want.begin() + 1, {f.model[3], f.model[4], f.model[5]});
    f.expectPictures(want, "copy 3..5 before 1");
    EXPECT_EQ(f.edit[1].keyFlag, 1) << "the first copy is a key copy";
    EXPECT_EQ(f.edit[2].keyFlag, 0) << "later copies share their source's bands";
    EXPECT_EQ(f.edit[4].keyFlag, 1) << "the frame after the copies stands on its own";
    EXPECT_EQ(f.actions(),
              (std::vector<int>{0, 101, 104, 105, 106, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111}));
    EXPECT_EQ(f.playBack[2].name(), "Inserted 2");
    EXPECT_EQ(f.playBack[2].frameFlags & PBF_COPIED, PBF_COPIED);
    EXPECT_EQ(f.headerCount(), 15u);
}

TEST(FrameTable, CopyRangeAfterASkippedDeletedFrameKeepsPictures) {
    Fixture f(12);
    f.table->toggleDeleted(3, 3);
    f.table->toggleDeleted(5, 5);
    ASSERT_EQ(f.table->copyRangeFrames(3, 7, 10), 3);
    auto want = f.model;
    want.insert(want.begin() + 10, {f.model[4], f.model[6], f.model[7]});
    f.expectPictures(want, "copy 3..7 with 3 and 5 deleted");
    EXPECT_EQ(f.edit[10].keyFlag, 1);
    EXPECT_EQ(f.edit[11].keyFlag, 1) << "the copy after a skipped frame is a key copy";
}

TEST(FrameTable, MoveFrameTwoBeforeSix) {
    Fixture f(12);
    ASSERT_TRUE(f.table->cutPasteRangeFrames(2, 2, 6));
    auto want = f.model;
    Picture moved = want[2];
    want.erase(want.begin() + 2);
    want.insert(want.begin() + 5, moved);
    f.expectPictures(want, "move 2 before 6");
    // The moved frame takes frame 6's incoming action, frame 6 the one that
    // led out of 2, and old frame 3 frame 2's own.
    EXPECT_EQ(f.actions(), (std::vector<int>{0, 101, 102, 104, 105, 106, 103, 107, 108, 109, 110, 111}));
    EXPECT_EQ(f.current, 5);
    EXPECT_EQ(f.listener.calls, std::vector<std::string>{"move 2 6"});
}

TEST(FrameTable, MoveToTheEnd) {
    Fixture f(6);
    ASSERT_TRUE(f.table->cutPasteRangeFrames(1, 2, 6));
    auto want = f.model;
    want = {want[0], want[3], want[4], want[5], want[1], want[2]};
    f.expectPictures(want, "move 1..2 to the end");
}

TEST(FrameTable, PurgeHandsTheActionOnAndRecounts) {
    Fixture f(12);
    f.table->toggleDeleted(4, 4);
    EXPECT_EQ(f.deleted, 1);
    ASSERT_TRUE(f.table->purgeFrame(4));
    auto want = f.model;
    want.erase(want.begin() + 4);
    f.expectPictures(want, "purge 4");
    EXPECT_EQ(f.edit[4].keyFlag, 1);
    EXPECT_EQ(f.playBack[4].xOrKey, 104) << "frame 5 takes frame 4's incoming action";
    EXPECT_EQ(f.deleted, 0) << "the purged frame was the deleted one";
    EXPECT_EQ(f.userActions, 10u);
    EXPECT_EQ(f.headerCount(), 11u);
}

TEST(FrameTable, ToggleTwiceLeavesFrameAndCount) {
    Fixture f(4);
    auto before = f.playBack[2].toBytes();
    f.table->toggleDeleted(1, 2);
    EXPECT_EQ(f.deleted, 2);
    EXPECT_EQ(f.playBack[2].frameFlags & PBF_DELETED, PBF_DELETED);
    f.table->toggleDeleted(1, 2);
    EXPECT_EQ(f.deleted, 0);
    EXPECT_EQ(f.playBack[2].toBytes(), before);
}

TEST(FrameTable, StaleClipboardChangesNothing) {
    Fixture f(6);
    auto edit = f.edit;
    EXPECT_EQ(f.table->copyRangeFrames(4, 9, 1), -1);
    EXPECT_EQ(f.table->copyRangeFrames(1, 2, 7), -1);
    EXPECT_FALSE(f.table->cutPasteRangeFrames(3, 8, 0));
    EXPECT_EQ(f.frameCount, 6u);
    EXPECT_EQ(f.edit.size(), edit.size());
}

TEST(FrameTable, AppendAndNames) {
    Fixture f(3);
    ASSERT_TRUE(f.table->appendFrame());
    ASSERT_TRUE(f.table->appendFrame());
    EXPECT_EQ(f.playBack[3].name(), "Appended 1");
    EXPECT_EQ(f.playBack[4].name(), "Appended 2");
    auto want = f.model;
    want.push_back(blank());
    want.push_back(blank());
    f.expectPictures(want, "append");
    f.table->addFrameName();
    for (uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(f.playBack[i].name(), "Frame " + std::to_string(i + 1));
        EXPECT_EQ(f.playBack[i].frameNumber, i + 1);
    }
    EXPECT_EQ(f.headerCount(), 5u);
}

TEST(FrameTable, AppendToAnEmptyProject) {
    Fixture f(0);
    ASSERT_TRUE(f.table->appendFrame());
    SDatFrameHeader h;
    ASSERT_TRUE(f.table->editHeaderRead(0, h));
    EXPECT_EQ(h.frameState, FRAME_STATE_FIRST);
    EXPECT_EQ(h.recordSize, 60u);
    EXPECT_EQ(h.keyFlag, 1u);
    EXPECT_EQ(h.frameNumber, 0u);
    ASSERT_TRUE(f.table->appendFrame());
    ASSERT_TRUE(f.table->editHeaderRead(1, h));
    EXPECT_EQ(h.frameState, FRAME_STATE_TIMER);
    EXPECT_EQ(f.headerCount(), 2u);
}

TEST(FrameTable, FailedWriteLeavesTheTables) {
    Fixture f(4);
    f.store.close(); // no stream to write to
    auto edit = f.edit;
    EXPECT_FALSE(f.table->appendFrame());
    EXPECT_FALSE(f.table->makeKeyFrame(2));
    EXPECT_EQ(f.frameCount, 4u);
    EXPECT_EQ(f.edit[2].recordOffset, edit[2].recordOffset);
    EXPECT_EQ(f.edit[2].keyFlag, 0);
}

} // namespace

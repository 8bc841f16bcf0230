// A sound failure's box says what failed and, on a second line, why: the
// step, the file and the system's reason.
#include "media/SoundEngineHost.h"
#include "media/SoundWorkingFile.h"
#include "media/WorkingFileClipStore.h"
#include "store/ProjectTables.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <sys/stat.h>

using namespace testsupport;

namespace {

class BoxHost : public SoundEngineHost {
  public:
    std::vector<std::string> boxes;
    sAudioSpecStruct recordingSettings() override { return {}; }
    int currentFrame() override { return 0; }
    sAudioSpecStruct clipFormat(int) override { return {}; }
    void showSoundError(int, const std::string& text) override { boxes.push_back(text); }
};

struct CauseCase {
    const char* name;
    // Sets the files up and runs the store; `temp` and `sound` are the paths.
    std::function<void(WorkingFileClipStore&, ProjectTables&, const std::string& temp,
                       const std::string& sound)>
        run;
    const char* text; // the first line
    const char* step; // the step on the second line
    bool onSoundFile; // the second line names the sound working file (else the temporary clip)
    int error;        // its reason
};

TEST(SoundFailureCause, TheBoxNamesTheCauseOnASecondLine) {
    const sAudioSpecStruct wide{100, 8000, 1, 16};
    const CauseCase cases[] = {
        {"SoundWorkingFileIsADirectory",
         [&](WorkingFileClipStore& s, ProjectTables&, const std::string& temp, const std::string& sound) {
             ASSERT_EQ(mkdir(sound.c_str(), 0755), 0);
             writeFile(temp, std::string(4096, 'a'));
             EXPECT_FALSE(s.storeClip(0, temp, 4096, wide));
         },
         "Unable to open file for recording", "open", true, EISDIR},
        {"RecordedClipMissing",
         [&](WorkingFileClipStore& s, ProjectTables&, const std::string& temp, const std::string&) {
             EXPECT_FALSE(s.storeClip(0, temp, 4096, wide));
         },
         "audio read error", "open", false, ENOENT},
        {"ClipLongerThanTheFile",
         [&](WorkingFileClipStore& s, ProjectTables& p, const std::string& temp, const std::string&) {
             writeFile(temp, std::string(4096, 'b'));
             ASSERT_TRUE(s.storeClip(0, temp, 4096, wide));
             p.m_vPlayBackFrameInfo[0].audioSize = 9000;
             EXPECT_EQ(s.copyClip(0, temp), 4096);
         },
         "audio read error", "read", true, ENODATA},
    };
    for (const CauseCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        SoundWorkingFile file(dir.path());
        ProjectTables project;
        project.m_vEditInfo.resize(1);
        project.m_vPlayBackFrameInfo.resize(1);
        project.m_dwFrameCount = 1;
        BoxHost host;
        WorkingFileClipStore store(file, project, &host, {});
        c.run(store, project, file.tempPath(), file.path());
        ASSERT_EQ(host.boxes.size(), 1u);
        const std::string named = c.onSoundFile ? file.path() : file.tempPath();
        EXPECT_EQ(host.boxes[0],
                  std::string(c.text) + "\n" + c.step + " " + named + ": " + std::strerror(c.error));
    }
}

} // namespace

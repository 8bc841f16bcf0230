// FIFOs in place of the sound files and the default-icon file: every open is
// refused at once (a plain open of a FIFO waits for the other end forever).
// Each row runs in a child process that an alarm ends if it hangs.
#include "ResourceStoreTestFiles.h"

#include "media/CBuilderSound.h"
#include "media/ResourceStore.h"
#include "media/SoundWorkingFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace resourcetest;

namespace {

// An engine whose device gives silence for ever: only the temporary clip
// file can end the recording before it starts.
class SilentEngine : public CBuilderSound {
  public:
    SilentEngine() : CBuilderSound(nullptr, "silent") {
        setDeviceSteps({[](void* p, size_t n) {
                            std::memset(p, 0, n);
                            return true;
                        },
                        [](const void*, size_t) { return true; }, [] { return true; }, [] {}});
    }
    bool open_sound_device(int) override { return true; }
    bool close_sound_device() override { return true; }
    bool open_mixer() override { return true; }
    bool close_mixer() override { return true; }
    bool setup_recording_source(int) override { return true; }
    bool set_soundcard_params(sAudioSpecStruct spec) override {
        setAudioSettings(spec);
        return true;
    }
    void record_sound() override { recordClip(); }
    void stop_sound() override { stop_all_sound(); }
    void play_sound() override { playClip(); }
};

struct FifoCase {
    const char* name;
    const char* fifo; // under the folder: "zedaro/..." or the default-icon file
    // Runs the operation; true when it refused the file as it should.
    std::function<bool(const Folders&)> refused;
    bool kept = true; // the FIFO is still there (the engine removes its temporary clip file in any case)
};

// Refused with the file named in the cause.
bool notRegular(const SoundWorkingFile::Status& s) {
    return !s &&
           (s.cause.find("temp.snx") != std::string::npos || s.cause.find("Sound.dat") != std::string::npos);
}

SoundWorkingFile soundFiles(const Folders& f) {
    return SoundWorkingFile(f.file("zedaro/Sound.dat"), f.file("zedaro/temp.snx"));
}

TEST(NonRegularSoundAndIconFiles, AreRefusedWithoutWaiting) {
    const FifoCase cases[] = {
        {"TempClipForRecording", "zedaro/temp.snx",
         [](const Folders& f) {
             SoundWorkingFile s = soundFiles(f);
             int fd = -1;
             return notRegular(s.createTempForRecording(fd)) && fd < 0;
         }},
        {"TempClipStored", "zedaro/temp.snx",
         [](const Folders& f) {
             SoundWorkingFile s = soundFiles(f);
             SoundWorkingFile::StoredClip c;
             const auto status = s.storeClip(0, 4096, sAudioSpecStruct{0, 8000, 1, 16}, c);
             return notRegular(status) && status.message() == "audio read error\n" + status.cause;
         }},
        {"TempClipForPlayback", "zedaro/temp.snx",
         [](const Folders& f) {
             SoundWorkingFile s = soundFiles(f);
             uint64_t copied = 0;
             return notRegular(s.copyClipForPlayback(48, 4096, copied)) && copied == 0;
         }},
        {"SoundWorkingFile", "zedaro/Sound.dat",
         [](const Folders& f) {
             SoundWorkingFile s = soundFiles(f);
             return notRegular(s.prepare());
         }},
        {"EnginesTempClip", "zedaro/temp.snx",
         [](const Folders& f) {
             setenv("HOME", f.home().c_str(), 1);
             SilentEngine engine;
             engine.record_sound();
             return engine.clipLength() == 0 && !engine.isBusy();
         },
         false},
        {"DefaultIconFile", "RESOURCES.RSE",
         [](const Folders& f) {
             std::vector<QString> statuses;
             ResourceUseTable uses;
             ResourceStore store(
                 f.store(), f.icons(), [](int) {}, [&](const QString& s) { statuses.push_back(s); }, uses);
             return store.defaultIconsWritten() == 0 && statuses.size() == 1 &&
                    statuses[0].contains("made without default icons") &&
                    store.defaultIconPreview("Default Icon 1").empty() &&
                    !testsupport::fileExists(f.scratch());
         }},
    };
    for (const FifoCase& c : cases) {
        SCOPED_TRACE(c.name);
        Folders folders;
        const std::string fifo = folders.file(c.fifo);
        ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
        EXPECT_EXIT(
            {
                alarm(30); // a hang ends the child by SIGALRM
                _exit(c.refused(folders) ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
        struct stat st {};
        if (c.kept) {
            ASSERT_EQ(stat(fifo.c_str(), &st), 0);
            EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "left as it was";
        }
    }
}

} // namespace

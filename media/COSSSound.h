// The sound engine on the OSS device "/dev/dsp" and its mixer "/dev/mixer".
#pragma once

#include "media/CBuilderSound.h"
#include "media/OssDevice.h"

#include <memory>
#include <string>

class COSSSound : public CBuilderSound {
  public:
    COSSSound(QObject* parent, const char* name);

    bool open_sound_device(int mode) override;
    bool close_sound_device() override;
    bool open_mixer() override;
    bool close_mixer() override;
    bool setup_recording_source(int source) override;
    bool set_soundcard_params(sAudioSpecStruct spec) override;
    void record_sound() override;
    void stop_sound() override;
    void play_sound() override;

    // Stop a transfer at once, waking a worker that waits on the device.
    void forward_audio();
    void rewind_audio();

    // Other device and mixer paths, for tests; ignored while a transfer runs.
    void setDevicePaths(const std::string& device, const std::string& mixer);

  private:
    std::unique_ptr<OssDevice> m_device;
    std::unique_ptr<OssMixer> m_mixer;
};

#include "media/COSSSound.h"

#include "store/Diagnostics.h"

#include <cerrno>
#include <cstring>
#include <linux/soundcard.h>

COSSSound::COSSSound(QObject* parent, const char* name)
    : CBuilderSound(parent, name), m_device(std::make_unique<OssDevice>()),
      m_mixer(std::make_unique<OssMixer>()) {
    // The device object outlives every transfer; the steps reach it through this.
    setDeviceSteps({[this](void* p, size_t n) { return m_device->read(p, n); },
                    [this](const void* p, size_t n) { return m_device->write(p, n); },
                    [this] { return m_device->sync(); }, [this] { m_device->abort(); }});
}

void COSSSound::setDevicePaths(const std::string& device, const std::string& mixer) {
    if (isBusy())
        return;
    m_device = std::make_unique<OssDevice>(device);
    m_mixer = std::make_unique<OssMixer>(mixer);
}

bool COSSSound::open_sound_device(int mode) {
    const auto direction = mode == RECORDING_MODE ? OssDevice::Direction::Record : OssDevice::Direction::Play;
    if (!m_device->open(direction)) {
        diag::error(m_device->path().c_str());
        process_error(ERROR_CRITICAL, "Unable to Open SoundDevice");
        return false;
    }
    return true;
}

bool COSSSound::close_sound_device() {
    m_device->close();
    return true;
}

bool COSSSound::open_mixer() {
    if (!m_mixer->open()) {
        diag::error(m_mixer->path().c_str());
        process_error(ERROR_CRITICAL, "Unable to Open Mixer device");
        return false;
    }
    m_mixer->setInputGain(99);
    return true;
}

bool COSSSound::close_mixer() {
    m_mixer->close();
    return true;
}

bool COSSSound::setup_recording_source(int source) {
    if (!m_mixer->setRecordSource(source == sAudioSpecStruct::SOURCE_CD_AUDIO ? SOUND_MASK_CD
                                                                              : SOUND_MASK_MIC)) {
        diag::error(m_mixer->path().c_str());
        process_error(ERROR_CRITICAL, "Failed to set the recording source");
        return false;
    }
    return true;
}

bool COSSSound::set_soundcard_params(sAudioSpecStruct spec) {
    const int format = m_device->setFormat(spec.bitsPerSample == 8 ? AFMT_U8 : AFMT_S16_LE);
    // Only the two formats a clip can hold are of use.
    if (format != AFMT_U8 && format != AFMT_S16_LE) {
        if (format < 0)
            diag::error(m_device->path().c_str());
        process_error(ERROR_WARNING, "Unable to set format");
        return false;
    }
    const int channels = m_device->setChannels(spec.channels);
    if (channels < 0) {
        diag::error(m_device->path().c_str());
        process_error(ERROR_WARNING, "Unable to set Channels");
        return false;
    }
    const int speed = m_device->setSpeed(spec.samplingRate);
    if (speed < 0) {
        diag::error(m_device->path().c_str());
        process_error(ERROR_WARNING, "Unable to set speed");
        return false;
    }
    m_device->sync();
    diag::print("\n\tgranted format %d, channels %d, speed %d\n", format, channels, speed);
    spec.bitsPerSample = format == AFMT_U8 ? 8 : 16;
    spec.channels = channels;
    spec.samplingRate = speed;
    setAudioSettings(spec);
    return true;
}

void COSSSound::record_sound() {
    recordClip();
}

void COSSSound::stop_sound() {
    stop_all_sound();
}

void COSSSound::play_sound() {
    playClip();
}

void COSSSound::forward_audio() {
    forward_builder_audio();
}

void COSSSound::rewind_audio() {
    rewind_builder_audio();
}

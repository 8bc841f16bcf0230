#include "media/WorkingFileClipStore.h"

#include "media/CBuilderSound.h"
#include "media/SoundEngineHost.h"
#include "media/SoundWorkingFile.h"
#include "store/Diagnostics.h"
#include "store/ProjectTables.h"

WorkingFileClipStore::WorkingFileClipStore(SoundWorkingFile& file, ProjectTables& project,
                                           SoundEngineHost* host, NoteClip noteClip)
    : m_file(file), m_project(project), m_host(host), m_noteClip(std::move(noteClip)) {}

bool WorkingFileClipStore::validFrame(int frame) const {
    return frame >= 0 && size_t(frame) < m_project.m_vEditInfo.size() &&
           size_t(frame) < m_project.m_vPlayBackFrameInfo.size();
}

void WorkingFileClipStore::report(const std::string& text) {
    diag::print("%s\n", text.c_str());
    if (m_host)
        m_host->showSoundError(CBuilderSound::ERROR_CRITICAL, text);
}

bool WorkingFileClipStore::storeClip(int frame, const std::string& clipPath, uint32_t length,
                                     const sAudioSpecStruct& format) {
    if (!validFrame(frame)) {
        diag::print("\n\tno frame %d for the recorded clip\n", frame);
        return false;
    }
    if (clipPath != m_file.tempPath()) {
        diag::print("\n\tthe clip %s is not the working file's %s\n", clipPath.c_str(),
                    m_file.tempPath().c_str());
        return false;
    }
    if (format.bitsPerSample != 16) {
        diag::print("\n\ta clip of %d bits is not stored\n", format.bitsPerSample);
        return false;
    }
    SoundWorkingFile::StoredClip stored;
    const SoundWorkingFile::Status status = m_file.storeClip(uint32_t(frame), length, format, stored);
    if (!status) {
        report(status.message());
        return false;
    }
    // The clip is in the file: now the frame's records may point to it.
    soundrec::setEditInfoAudio(m_project.m_vEditInfo[size_t(frame)], stored.headerOffset);
    diag::print("\n\tEdit info of frame %d: audio header at %u\n", frame, stored.headerOffset);
    if (m_noteClip)
        m_noteClip(frame, stored.length, stored.format);
    else
        soundrec::setPlaybackAudio(m_project.m_vPlayBackFrameInfo[size_t(frame)], stored.length,
                                   stored.format);
    return true;
}

long WorkingFileClipStore::copyClip(int frame, const std::string& clipPath) {
    if (!validFrame(frame) || clipPath != m_file.tempPath())
        return -1;
    const SEditInfo& e = m_project.m_vEditInfo[size_t(frame)];
    const SPlayBackFrameInfo& p = m_project.m_vPlayBackFrameInfo[size_t(frame)];
    if (e.audioFlag != 1 || e.audioHeaderOffset < 0) {
        diag::print("\n\tframe %d has no clip\n", frame);
        return -1;
    }
    uint64_t copied = 0;
    const SoundWorkingFile::Status status =
        m_file.copyClipForPlayback(uint32_t(e.audioHeaderOffset), p.audioSize, copied);
    if (!status) {
        report(status.message());
        // What could be read is played.
        return copied > 0 ? long(copied) : -1;
    }
    return long(copied);
}

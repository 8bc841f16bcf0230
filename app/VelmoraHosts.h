// The main window's side of the frame strip's and the interactive objects'
// host interfaces.
#pragma once

#include "canvas/strip/FrameStripHost.h"
#include "objects/interactive/HolderInteractiveHost.h"

class Velmora;

class VelmoraStripHost : public FrameStripHost {
  public:
    explicit VelmoraStripHost(Velmora* window) : m_w(window) {}
    int playbackFrameCount() const override;
    bool isPlaybackFrameDeleted(int frame) const override;
    bool hasRecordedAction(int frame) const override;
    bool hasAudio(int frame) const override;
    void setActionDisabled(int frame, uint8_t value) override;
    void disableObjects() override;
    void enableObjects() override;
    void changePurgeStatus(bool anyFrameDeleted) override;
    bool hasFrameObjectRecord(int frame) const override;
    void addFrameStructureToList(int frame) override;
    uint8_t frameUserAction(int frame) const override;
    void setFrameUserAction(int frame, uint8_t value) override;

  private:
    const SPlayBackFrameInfo* record(int frame) const;
    Velmora* m_w;
};

class VelmoraInteractiveHost : public HolderInteractiveHost {
  public:
    VelmoraInteractiveHost(Velmora* window, VLImageHolder* holder)
        : HolderInteractiveHost(holder), m_w(window) {}
    std::vector<SPlayBackFrameInfo>* playbackRecords() override;
    void changeFrameColor(const QColor& color) override;
    void setUserActionStatus(bool enabled) override;
    void soundAddedOrRemovedInFrame(bool added) override;

  private:
    Velmora* m_w;
};

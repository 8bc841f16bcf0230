// The privilege steps around starting the sound workers: when the program
// runs with effective user id 0, the workers are created as root, a recording
// locks the process's memory first, and the effective user id then returns to
// the real one. Tests replace the class to see the calls and make them fail.
#pragma once

class SoundPrivileges {
  public:
    virtual ~SoundPrivileges() = default;

    virtual bool effectiveUserIsRoot();
    // Each gives false with errno set when it fails.
    virtual bool becomeRoot();       // seteuid(0)
    virtual bool lockMemory();       // mlockall(MCL_CURRENT); the pages stay locked
    virtual bool returnToRealUser(); // seteuid(getuid())
};

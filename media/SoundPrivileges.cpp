#include "media/SoundPrivileges.h"

#include <sys/mman.h>
#include <unistd.h>

bool SoundPrivileges::effectiveUserIsRoot() {
    return geteuid() == 0;
}

bool SoundPrivileges::becomeRoot() {
    return seteuid(0) == 0;
}

bool SoundPrivileges::lockMemory() {
    return mlockall(MCL_CURRENT) == 0;
}

bool SoundPrivileges::returnToRealUser() {
    return seteuid(getuid()) == 0;
}

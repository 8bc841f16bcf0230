// A sound engine for another sound interface: it implements none of the
// device operations, so it cannot be created.
#pragma once

#include "media/CBuilderSound.h"

class CALSASound : public CBuilderSound {
  public:
    using CBuilderSound::CBuilderSound;
};

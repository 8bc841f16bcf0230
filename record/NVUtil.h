// Static probes of the screen and the clock. Each screen query opens and
// closes its own display connection, so it is safe from any thread.
#pragma once

#include <utility>

struct _XDisplay;

class NVUtil {
  public:
    // Width and height of the default screen; (0, 0) when no display can be opened.
    static std::pair<int, int> getScreenResolution();
    // Default depth of the default screen; 0 when no display can be opened.
    static int getScreenDepth();
    // (depth / 8) x width.
    static int getScreenPitch();
    // Seconds since 1 January 1970.
    static int getCurrentTimeStamp();

    // Results of the last query; the connection is closed again when it returns.
    static _XDisplay* m_psxDisplay;
    static int m_nsxScreen;
    static int m_nsHres;
    static int m_nsVres;

  private:
    static bool openDisplay();
    static void closeDisplay();
};

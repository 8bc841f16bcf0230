#include "support/TestFonts.h"

#include "support/TempDir.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace testsupport {

void useTestFonts() {
    static std::once_flag once;
    std::call_once(once, [] {
        const char* system = getenv("VELMORA_TEST_SYSTEM_FONTS");
        if (system && strcmp(system, "1") == 0)
            return;
        // Removed at exit; the programs a test starts end before it does.
        static TempDir folder;
        const std::string config = folder.file("fonts.conf");
        writeFile(config, "<?xml version=\"1.0\"?>\n"
                          "<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                          "<fontconfig>\n"
                          "  <include>" VELMORA_TEST_FONTS_CONF "</include>\n"
                          "  <cachedir>" +
                              folder.file("cache") +
                              "</cachedir>\n"
                              "</fontconfig>\n");
        setenv("FONTCONFIG_FILE", config.c_str(), 1);
        unsetenv("FONTCONFIG_PATH");
    });
}

} // namespace testsupport

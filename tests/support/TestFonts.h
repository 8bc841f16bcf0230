// The fixed font world of the tests: FONTCONFIG_FILE names the project's
// font configuration (tests/support/fonts.conf, the DejaVu faces only) with
// a cache folder of this test process's own, for the process and every
// program it starts. VELMORA_TEST_SYSTEM_FONTS=1 leaves the machine's fonts
// in place, to try the tests against them.
#pragma once

namespace testsupport {

// Sets the font world once per process, before anything opens a font.
void useTestFonts();

} // namespace testsupport

// Fixture for tests that need a QApplication (fonts, widgets) but no display.
#pragma once

#include "support/QtTestApp.h"

using OffscreenQtTest = testsupport::OffscreenAppSuite;

// Handling of fatal signals: a message on standard error and a box shown by a
// fresh copy of the program, then exit status 1.
#pragma once

namespace crash {

// Environment variable that turns a start of the program into the crash box.
constexpr const char* BOX_REQUEST = "VELMORA_CRASH_BOX";

// Prepares everything the handler needs (program path, environment) and
// installs it for SIGSEGV. Call once at start, after the environment is final.
void installHandler();

// True when this process was started to show the crash box.
bool boxRequested();

// Shows the crash box and returns the process's exit status.
int showBox(int& argc, char** argv);

} // namespace crash

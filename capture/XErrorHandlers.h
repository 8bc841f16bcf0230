// The program's Xlib error and I/O-error handlers.
//
// Xlib's default handlers end the process on any protocol error or lost
// connection, and they are process-wide: one set serves Qt, the capture
// library and every other connection. installHandlers() puts the program's
// own set in place at start-up. The handlers never end the process for
// a protocol error; they record it against its connection. A connection that
// is watched (watchConnection) also survives the loss of its server: Xlib
// marks it dead, every later call on it fails fast, and its owner sees
// connectionLost() and winds down cleanly. An unwatched connection that is
// lost still ends the process, with status 1, after a message.
#pragma once

struct _XDisplay; // Display of <X11/Xlib.h>, kept out of this header

namespace xerrors {

// Installs both handlers (and, the first time, calls XInitThreads and
// ignores SIGPIPE unless something else handles it). The
// program calls it at start-up right after constructing QApplication: the
// xcb platform plugin installs its own pair while it connects, and its
// I/O-error handler ends the process. NV_CapInit calls it too, so the
// capture library is covered even if something replaced the pair since.
void installHandlers();
// True once installHandlers has run.
bool handlersInstalled();

// Registers a connection: its protocol errors are kept for takeLastError and
// its loss does not end the process. Forget it before XCloseDisplay.
void watchConnection(_XDisplay* display);
void forgetConnection(_XDisplay* display);

// The error code (BadMatch, BadAccess...) of the last failed request on a
// watched connection since the previous call, or 0; clears it.
int takeLastError(_XDisplay* display);

// True once the server of a watched connection has gone away.
bool connectionLost(_XDisplay* display);

} // namespace xerrors

#pragma once

// The connection to the display server, for the few steps that depend on
// which one it is.
namespace DisplayConnection {

// Whether the process can reach a display: an X11 or a Wayland session, or a
// Qt platform plugin chosen explicitly (offscreen in tests). Asks the
// environment only, before any application object exists.
bool isAvailable();

// Hands what is queued for the X server to it now. Unlike a sync with the
// display, it handles no event, so it may run before the main loop. Does
// nothing on other displays, which send requests as they are made.
void sendQueuedRequests();

} // namespace DisplayConnection

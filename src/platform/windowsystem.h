#pragma once
// Talking to the window system outside the event loop.

namespace tl {

// Sends what the program has asked of the window system so far (a new
// window opacity, say) at once instead of when the event loop next runs.
// Runs no event handlers. Does nothing where nothing waits to be sent.
void flushWindowSystem();

} // namespace tl

// How a window handler waits on the network without freezing the window: the blocking
// call runs on a new thread while the user-interface thread waits in a local event loop
// that repaints windows and runs timers, but takes no user input and asks for no socket
// notification (not every event dispatcher honours that: the window's own socket also
// holds its replies back while a handler blocks). So, from the user's side, the handler
// blocks; on the screen, it paints.
#pragma once

#include <functional>

// Runs `work` on a thread made for it now (so it belongs to the caller's network
// namespace) and returns when `work` has returned. Call on the user-interface thread.
// `work` must touch no widget and no status word; the caller reads its results afterwards.
void RunBlockingCall(const std::function<void()>& work);

#pragma once

#include <functional>

namespace tw {

class Host;

// Runs one button handler. A PlatformError that ends it is shown in an error box
// (caption "Error", its message() as text) and the program goes on; so is any
// other standard exception, which would otherwise end the program from inside
// the event loop. True when the handler ran to its end.
bool runHandler(Host& host, const std::function<void()>& handler);

// How many handlers are running now (a handler that processes window messages
// can let another one start); the window defers closing while one runs.
int runningHandlers();

} // namespace tw

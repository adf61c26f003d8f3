#include "ui/handlerguard.h"

#include <exception>

#include "common/base/platformerror.h"
#include "common/host.h"

namespace tw {
namespace {

// Only touched on the window thread, where every handler runs.
int g_running = 0;

struct RunningCount {
    RunningCount() { ++g_running; }
    ~RunningCount() { --g_running; }
};

} // namespace

bool runHandler(Host& host, const std::function<void()>& handler)
{
    std::string failure;
    {
        RunningCount count;
        try {
            handler();
            return true;
        } catch (const PlatformError& error) {
            failure = error.message();
        } catch (const std::exception& error) {
            failure = error.what();
        }
    }
    // Shown after the count went down: the handler has ended when its error shows.
    host.messageBox(MessageKind::Error, failure, MessageButtons::Ok);
    return false;
}

int runningHandlers()
{
    return g_running;
}

} // namespace tw

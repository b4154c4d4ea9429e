#include "GlobalWindows.h"

#include <utility>
#include <vector>

namespace widgets {

namespace {

struct Made {
    const void* reference;
    std::function<void()> destroy;
};

std::vector<Made>& made()
{
    static std::vector<Made> windows;
    return windows;
}

} // namespace

void detail::rememberGlobalWindow(const void* reference, std::function<void()> destroy)
{
    for (const Made& m : made()) {
        if (m.reference == reference)
            return;
    }
    made().push_back({reference, std::move(destroy)});
}

void destroyGlobalWindows()
{
    std::vector<Made> windows = std::exchange(made(), {});
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        it->destroy();
}

} // namespace widgets

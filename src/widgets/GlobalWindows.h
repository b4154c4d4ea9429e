#pragma once

#include <functional>

namespace widgets {

namespace detail {
void rememberGlobalWindow(const void* reference, std::function<void()> destroy);
}

// The run-wide windows: each is reached through one global reference of its
// own, made on first use (start-up asks for them in a fixed order, so that
// is where they are made) and deleted by destroyGlobalWindows() at the end
// of the run, last made first. A caller that deletes one itself must null
// its reference; the next use then makes a fresh one.
template <class Window>
Window* globalWindow(Window*& reference)
{
    if (!reference) {
        reference = new Window;
        detail::rememberGlobalWindow(&reference, [&reference] {
            delete reference;
            reference = nullptr;
        });
    }
    return reference;
}

void destroyGlobalWindows();

} // namespace widgets

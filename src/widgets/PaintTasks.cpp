#include "PaintTasks.h"

#include <QThreadPool>

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>

namespace {

std::atomic<bool> inPlace{false};
std::atomic<quint64> slicesInPlace{0};

// Where Qt Gui's code lies in memory: a task it hands over is one of the
// raster engine's slices (or an image conversion's, which waits alike).
struct CodeRange {
    quintptr begin = 0;
    quintptr end = 0;
    bool contains(const void* p) const { return quintptr(p) >= begin && quintptr(p) < end; }
};

CodeRange qtGuiCode()
{
    CodeRange range;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            if (!info->dlpi_name || !std::strstr(info->dlpi_name, "libQt6Gui.so"))
                return 0;
            auto* r = static_cast<CodeRange*>(data);
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& h = info->dlpi_phdr[i];
                if (h.p_type != PT_LOAD || !(h.p_flags & PF_X))
                    continue;
                const quintptr b = info->dlpi_addr + h.p_vaddr;
                if (r->begin == 0 || b < r->begin)
                    r->begin = b;
                r->end = std::max<quintptr>(r->end, b + h.p_memsz);
            }
            return 1;
        },
        &range);
    return range;
}

using Start = void (*)(QThreadPool*, std::function<void()>, int);

// Qt Core's QThreadPool::start(std::function<void()>, int), by its linker name.
Start qtsOwnStart()
{
    static const Start start = reinterpret_cast<Start>(dlsym(RTLD_NEXT, "_ZN11QThreadPool5startESt8functionIFvvEEi"));
    return start;
}

} // namespace

// Takes the place of Qt Core's own (the program's definition comes first
// when Qt Gui's calls are bound); every call that is not one of Qt Gui's
// slices, or any call while switched off, goes on to Qt Core's.
void QThreadPool::start(std::function<void()> functionToRun, int priority)
{
    if (inPlace.load(std::memory_order_relaxed)) {
        static const CodeRange gui = qtGuiCode();
        if (gui.contains(__builtin_return_address(0))) {
            slicesInPlace.fetch_add(1, std::memory_order_relaxed);
            functionToRun();
            return;
        }
    }
    if (const Start start = qtsOwnStart())
        start(this, std::move(functionToRun), priority);
    else
        functionToRun();  // never without Qt Core's, but a task must run
}

namespace widgets {

void paintOnTheCallingThread(bool on)
{
    // Qt Core's own is looked up now, not first inside a paint.
    if (on && qtsOwnStart())
        inPlace.store(true);
    else
        inPlace.store(false);
}

quint64 paintSlicesRunInPlace()
{
    return slicesInPlace.load(std::memory_order_relaxed);
}

} // namespace widgets

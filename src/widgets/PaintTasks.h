#pragma once

#include <QtGlobal>

// Qt's raster engine cuts every fill, blend or line that spans more than
// about a hundred pixel rows into slices, hands them to a thread pool of its
// own and waits for them. On the machines a clerk works at (two cores,
// often virtual) waking the pool's threads and being woken again costs more
// than the painting: about a hundred times per product load, a quarter of
// the load's time, and most of its spread. Switched on, those slices run
// one after the other on the thread that paints. Nothing else that uses a
// thread pool is touched.
namespace widgets {

void paintOnTheCallingThread(bool on);

// How many of the raster engine's slices have run on the painting thread.
quint64 paintSlicesRunInPlace();

} // namespace widgets

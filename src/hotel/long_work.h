#pragma once

#include <QtGlobal>
#include <functional>

namespace hotel {

// Rows done of all; false asks the work to stop.
using RowProgress = std::function<bool(qint64 done, qint64 total)>;
// Work that may take long and tells its rows through the progress it is handed.
using LongWork = std::function<void(const RowProgress &progress)>;
// Runs long work and returns once it has ended: the desk runs it on another thread behind a
// progress bar with 取消, a test runs it in place.
using WorkRunner = std::function<void(const LongWork &work)>;

} // namespace hotel

#pragma once

#include "data/access_rows.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace accesshouse::detail {

// Hands rows to another sink on a thread of its own, so reading the Access file and writing the
// house take a core each. At most a few batches wait between them: memory stays flat. A Stop
// thrown by the sink reaches the reader at its next row, or at close().
class PipedSink : public RowSink
{
public:
    explicit PipedSink(RowSink &sink);
    // Stops the writing thread without waiting for what is queued.
    ~PipedSink() override;
    PipedSink(const PipedSink &) = delete;
    PipedSink &operator=(const PipedSink &) = delete;

    void beginTable(const schema::Table &table) override;
    void row(const std::vector<Cell> &cells) override;
    // Waits until the sink has taken every row; rethrows what it threw.
    void close();

private:
    struct Batch {
        const schema::Table *table = nullptr; // a table begins here
        std::vector<std::vector<Cell>> rows;
    };
    void push();
    void write();
    void rethrow();

    RowSink &m_sink;
    Batch m_filling;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Batch> m_queue;
    bool m_closed = false;
    bool m_abandoned = false;
    std::exception_ptr m_error;
    std::thread m_thread;
};

} // namespace accesshouse::detail

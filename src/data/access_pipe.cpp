#include "data/access_pipe.h"

namespace accesshouse::detail {

namespace {
constexpr size_t BatchRows = 512;
constexpr size_t QueuedBatches = 8;
} // namespace

PipedSink::PipedSink(RowSink &sink) : m_sink(sink), m_thread([this] { write(); }) {}

PipedSink::~PipedSink()
{
    {
        const std::lock_guard guard(m_lock);
        m_abandoned = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void PipedSink::beginTable(const schema::Table &table)
{
    push();
    m_filling.table = &table;
}

void PipedSink::row(const std::vector<Cell> &cells)
{
    m_filling.rows.push_back(cells);
    if (m_filling.rows.size() >= BatchRows)
        push();
}

void PipedSink::close()
{
    push();
    std::unique_lock guard(m_lock);
    m_closed = true;
    m_changed.notify_all();
    m_changed.wait(guard, [this] { return m_queue.empty() || m_error; });
    guard.unlock();
    rethrow();
}

void PipedSink::push()
{
    if (!m_filling.table && m_filling.rows.empty())
        return;
    std::unique_lock guard(m_lock);
    m_changed.wait(guard, [this] { return m_queue.size() < QueuedBatches || m_error; });
    if (!m_error)
        m_queue.push_back(std::move(m_filling));
    guard.unlock();
    m_changed.notify_all();
    m_filling = {};
    m_filling.rows.reserve(BatchRows);
    rethrow();
}

void PipedSink::rethrow()
{
    const std::lock_guard guard(m_lock);
    if (m_error)
        std::rethrow_exception(m_error);
}

void PipedSink::write()
{
    for (;;) {
        std::unique_lock guard(m_lock);
        m_changed.wait(guard, [this] { return !m_queue.empty() || m_closed || m_abandoned; });
        if (m_abandoned || m_queue.empty())
            return;
        Batch batch = std::move(m_queue.front());
        guard.unlock();
        try {
            if (batch.table)
                m_sink.beginTable(*batch.table);
            for (const std::vector<Cell> &cells : batch.rows)
                m_sink.row(cells);
        } catch (...) {
            guard.lock();
            m_error = std::current_exception();
            m_queue.clear();
            guard.unlock();
            m_changed.notify_all();
            return;
        }
        guard.lock();
        m_queue.pop_front();
        guard.unlock();
        m_changed.notify_all();
    }
}

} // namespace accesshouse::detail

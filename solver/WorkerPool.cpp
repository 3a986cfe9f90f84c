#include "WorkerPool.h"

namespace kd {

WorkerPool::WorkerPool(int threads) : m_size(threads < 1 ? 1 : threads)
{
    try {
        for (int w = 1; w < m_size; ++w)
            m_threads.emplace_back([this, w] { workerLoop(w); });
    } catch (...) {
        // A thread that cannot be started (no memory, no more threads): the
        // ones already waiting must be stopped before the pool's members go,
        // or they would wait for ever on a destroyed condition.
        stopWorkers();
        throw;
    }
}

WorkerPool::~WorkerPool()
{
    stopWorkers();
}

void WorkerPool::stopWorkers()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_start.notify_all();
    for (auto& t : m_threads)
        t.join();
    m_threads.clear();
}

void WorkerPool::runShare(int worker)
{
    for (;;) {
        int index;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_next >= m_count)
                return;
            index = m_next++;
        }
        try {
            (*m_body)(index, worker);
        } catch (...) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_error)
                m_error = std::current_exception();
            m_next = m_count;  // no further index is handed out
            return;
        }
    }
}

void WorkerPool::workerLoop(int worker)
{
    unsigned seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_start.wait(lock, [&] { return m_stop || m_generation != seen; });
            if (m_stop)
                return;
            seen = m_generation;
            ++m_busy;
        }
        runShare(worker);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            --m_busy;
        }
        m_done.notify_all();
    }
}

void WorkerPool::parallelFor(int count, const std::function<void(int, int)>& body)
{
    if (count <= 0)
        return;
    if (m_size == 1 || count == 1) {
        for (int i = 0; i < count; ++i)
            body(i, 0);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_body = &body;
        m_count = count;
        m_next = 0;
        m_error = nullptr;
        ++m_generation;
    }
    m_start.notify_all();
    runShare(0);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [&] { return m_next >= m_count && m_busy == 0; });
    m_body = nullptr;
    if (m_error) {
        std::exception_ptr error = std::move(m_error);
        m_error = nullptr;
        std::rethrow_exception(error);
    }
}

} // namespace kd

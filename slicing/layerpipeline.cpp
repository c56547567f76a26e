#include "slicing/layerpipeline.h"

#include "slicing/planesection.h"

LayerPipeline::LayerPipeline(const LayerFormatter &formatter, int workers)
    : m_formatter(formatter)
{
    for (int i = 0; i < std::max(1, workers); ++i)
        m_workers.emplace_back(&LayerPipeline::work, this);
}

LayerPipeline::~LayerPipeline()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_planeQueued.notify_all();
    for (std::thread &worker : m_workers)
        worker.join();
}

void LayerPipeline::submit(int id, double z, std::vector<FacetSweep::Crossing> crossing)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_facetsInFlight += crossing.size();
        m_queue.push_back(Plane{m_submitted++, crossing.size(), id, z, std::move(crossing), {}});
    }
    m_planeQueued.notify_one();
}

int LayerPipeline::inFlight() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_submitted - m_taken);
}

size_t LayerPipeline::facetsInFlight() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_facetsInFlight;
}

bool LayerPipeline::nextIsReady() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_done.count(m_taken) != 0;
}

bool LayerPipeline::takeNext(LayerText &text)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_taken == m_submitted)
        return false;
    // Each plane takes a bounded time to cut, so this wait always ends.
    m_layerDone.wait(lock, [this] { return m_done.count(m_taken) != 0; });
    auto done = m_done.find(m_taken);
    text = std::move(done->second.text);
    m_facetsInFlight -= done->second.facets;
    m_done.erase(done);
    ++m_taken;
    return true;
}

void LayerPipeline::work()
{
    PlaneSectioner sectioner;
    for (;;) {
        Plane plane;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_planeQueued.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping)
                return;
            plane = std::move(m_queue.front());
            m_queue.pop_front();
        }
        m_formatter.format(plane.id, plane.z, sectioner.section(plane.z, plane.crossing),
                           plane.text);
        plane.crossing = {};
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            const long sequence = plane.sequence;
            m_done.emplace(sequence, std::move(plane));
        }
        m_layerDone.notify_all();
    }
}

#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "slicing/facetsweep.h"
#include "slicing/layertext.h"

// Cuts and formats layers on worker threads and hands them back in plane order. The caller
// submits plane after plane and takes the finished layers as they come; it decides how many may
// be in flight, so memory stays at a few layers whatever the model's height. Destroying the
// pipeline drops the planes not yet started and waits for the ones under way.
class LayerPipeline
{
public:
    LayerPipeline(const LayerFormatter &formatter, int workers);
    ~LayerPipeline();
    LayerPipeline(const LayerPipeline &) = delete;
    LayerPipeline &operator=(const LayerPipeline &) = delete;

    // Queues layer `id` at height z; `crossing` lists the facets that cross the plane.
    void submit(int id, double z, std::vector<FacetSweep::Crossing> crossing);
    // Layers submitted and not yet taken, and the facets they carry.
    int inFlight() const;
    size_t facetsInFlight() const;
    // Whether the next layer in order is finished.
    bool nextIsReady() const;
    // The next layer in plane order, waiting for it; false when every submitted layer was taken.
    bool takeNext(LayerText &text);

private:
    struct Plane
    {
        long sequence = 0;
        size_t facets = 0;
        int id = 0;
        double z = 0;
        std::vector<FacetSweep::Crossing> crossing;
        LayerText text;
    };

    void work();

    const LayerFormatter m_formatter;
    mutable std::mutex m_mutex;
    std::condition_variable m_planeQueued;
    std::condition_variable m_layerDone;
    std::deque<Plane> m_queue;
    std::map<long, Plane> m_done;
    long m_submitted = 0;
    long m_taken = 0;
    size_t m_facetsInFlight = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

#include <cmath>

#include "fuzz/fuzzsupport.h"
#include "model/modelfigures.h"
#include "model/stlreader.h"

// Any bytes as an STL file, read as the model page reads one (ASCII or binary as the reader's
// own detection decides): a file it refuses says why and leaves no facets; a model it accepts
// is centred, rests on z = 0 and holds every corner inside its box.
KELVAROME_FUZZ_ENTRY(stlreader)
{
    const STLReader reader(writeScratchFile(QStringLiteral("model.stl"), data, size));
    if (!reader.isValid()) {
        FUZZ_CHECK(!reader.errorString().isEmpty());
        FUZZ_CHECK(reader.facets().isEmpty());
        return 0;
    }
    FUZZ_CHECK(reader.errorString().isEmpty());
    if (reader.facets().isEmpty())
        return 0;

    const float bounds[] = {reader.getXMin(), reader.getXMax(), reader.getYMin(),
                            reader.getYMax(), reader.getZMin(), reader.getZMax()};
    for (const float bound : bounds)
        FUZZ_CHECK(std::isfinite(bound));
    FUZZ_CHECK(reader.getZMin() == 0.0f);
    const auto inside = [&](const STLReader::Vertex &v) {
        return v.x >= bounds[0] && v.x <= bounds[1] && v.y >= bounds[2] && v.y <= bounds[3]
                && v.z >= bounds[4] && v.z <= bounds[5];
    };
    for (const STLReader::Facet &facet : reader.facets())
        FUZZ_CHECK(inside(facet.a()) && inside(facet.b()) && inside(facet.c()));

    // The figures and texts the model page shows.
    const ModelFigures figures = ModelFigures::of(reader);
    FUZZ_CHECK(figures.triangles == float(reader.facets().size()));
    FUZZ_CHECK(!figures.massText().isEmpty() && !figures.volumeText().isEmpty());
    return 0;
}

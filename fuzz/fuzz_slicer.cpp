#include <algorithm>

#include <QDir>
#include <QFile>
#include <QtEndian>

#include "fuzz/fuzzsupport.h"
#include "job/vekformat.h"
#include "slicing/slicer.h"

namespace {

// A handful of facets in a box of 24 x 24 x 1.6 mm: enough for outlines that meet, cross, touch
// the cutting planes and hollow away, few enough layers for thousands of runs a minute.
constexpr int MAX_FACETS = 32;
constexpr int BYTES_PER_CORNER = 5;
constexpr int BYTES_PER_FACET = 3 * BYTES_PER_CORNER;

// x and y in thousandths of a millimetre up to 24 mm; z on a 25 µm grid, so that corners and
// edges fall on the cutting planes of every layer thickness.
void corner(const uint8_t *bytes, float *xyz)
{
    xyz[0] = float(qFromLittleEndian<quint16>(bytes) % 24001) / 1000.0f;
    xyz[1] = float(qFromLittleEndian<quint16>(bytes + 2) % 24001) / 1000.0f;
    xyz[2] = float(bytes[4] % 64) * 0.025f;
}

// The facets as a binary STL file: header, count, then each record with a zero normal.
QByteArray binaryStl(const uint8_t *data, int facets)
{
    QByteArray file(80, '\0');
    char count[4];
    qToLittleEndian<quint32>(quint32(facets), count);
    file.append(count, 4);
    for (int i = 0; i < facets; ++i) {
        float record[12] = {};
        for (int c = 0; c < 3; ++c)
            corner(data + i * BYTES_PER_FACET + c * BYTES_PER_CORNER, record + 3 + 3 * c);
        char bytes[50] = {};
        for (int f = 0; f < 12; ++f)
            qToLittleEndian<float>(record[f], bytes + 4 * f);
        file.append(bytes, 50);
    }
    return file;
}

} // namespace

// A slicing run of a small fuzzed mesh, plain or hollow, 100 or 50 µm, as the Slice button runs
// one: it either fails with a reason and leaves nothing behind, or writes a job whose file
// reads back complete and counts the layers written.
KELVAROME_FUZZ_ENTRY(slicer)
{
    if (size < 1)
        return 0;
    const uint8_t options = data[0];
    const int facets = std::min<int>(MAX_FACETS, int((size - 1) / BYTES_PER_FACET));
    const QByteArray stl = binaryStl(data + 1, facets);
    const QString model = writeScratchFile(QStringLiteral("mesh.stl"),
                                           reinterpret_cast<const uint8_t *>(stl.constData()),
                                           size_t(stl.size()));
    const QString root = fuzzScratchFolder() + QStringLiteral("runs/");
    FUZZ_CHECK(QDir().mkpath(root));

    SliceRequest request;
    request.modelFile = model;
    request.microns = options & 1 ? 50 : 100;
    request.hollow = options & 2;
    request.outputRoot = root;
    Slicer slicer;
    QString error;
    const bool sliced = slicer.engage(request, error);
    if (!sliced) {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(QDir(root).isEmpty());
        return 0;
    }
    const QString folder = slicer.getOutputFolder();
    const QString jobFile = folder + QStringLiteral("mesh") + VEK_FILE_SUFFIX;
    VekJob job;
    QString jobError;
    FUZZ_CHECK(readVekJob(jobFile, job, jobError) == VekReading::Complete);
    FUZZ_CHECK(job.lastFrame == slicer.getPlaneCounter() && job.zCut == request.microns);
    FUZZ_CHECK(QFile::exists(job.printDocument()) && QFile::exists(job.previewDocument()));
    FUZZ_CHECK(QDir(folder).removeRecursively());
    return 0;
}

#include "model/stlreader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string_view>
#include <thread>

#include <QFile>
#include <QFileInfo>
#include <QVector3D>
#include <QtEndian>

#include "base/resinprices.h"
#include "model/stlwords.h"

namespace {

const QString ASCII_PARSER = QStringLiteral("bool STLReader::parseASCIIFile(QString &)");
const QString BINARY_PARSER = QStringLiteral("bool STLReader::parseBinaryFile(QString &)");

constexpr int TYPE_ASCII = 0;
constexpr int TYPE_BINARY = 1;
constexpr int TYPE_UNREADABLE = 2;
constexpr int TYPE_DETECTION_WORDS = 50;

constexpr qint64 BINARY_HEADER_SIZE = 84;
constexpr qint64 BINARY_RECORD_SIZE = 50;
// About 1 MB per read.
constexpr qint64 BINARY_RECORDS_PER_BLOCK = 20000;
// Small enough to stay in the processor cache while its words are read.
constexpr int ASCII_BLOCK_SIZE = 256 * 1024;
constexpr int DETECTION_BLOCK_SIZE = 64 * 1024;
// Overlong words are looked for at every 4 MiB of a file read as it is (and at its end).
constexpr int WORD_CHECK_SPACING = 4 * 1024 * 1024;
// Facets read before the count of the rest is estimated, and the room added to the estimate.
constexpr int ESTIMATE_AFTER_FACETS = 2000;
constexpr double ESTIMATE_MARGIN = 1.05;
// Facets moved together before their normals are recomputed; they stay in the first-level cache.
constexpr int NORMALS_BATCH_SIZE = 32;
// Below this many facets a helper thread costs more than it saves.
constexpr int PARALLEL_MIN_FACETS = 50000;

// A QVector holds at most 2 GiB; refusing more facets beats an allocation failure.
constexpr int MAX_FACETS = (std::numeric_limits<int>::max() - 64) / int(sizeof(STLReader::Facet));

QVector3D toQVector(const STLReader::Vertex &vertex)
{
    return QVector3D(vertex.x, vertex.y, vertex.z);
}

bool cornersAreFinite(const STLStruct &record)
{
    for (const float coordinate : {record.ax, record.ay, record.az, record.bx, record.by, record.bz,
                                   record.cx, record.cy, record.cz}) {
        if (!std::isfinite(coordinate))
            return false;
    }
    return true;
}

// The bounds of a first facet, in the reader's order: xmin, xmax, ymin, ymax, zmin, zmax.
void setBounds(float *bounds, const STLStruct &record)
{
    bounds[0] = std::min({record.ax, record.bx, record.cx});
    bounds[1] = std::max({record.ax, record.bx, record.cx});
    bounds[2] = std::min({record.ay, record.by, record.cy});
    bounds[3] = std::max({record.ay, record.by, record.cy});
    bounds[4] = std::min({record.az, record.bz, record.cz});
    bounds[5] = std::max({record.az, record.bz, record.cz});
}

// Text holds no facet count. Once a few thousand facets are read, their size in bytes gives a
// close estimate for the rest of the file, reserved at once instead of grown step by step.
void reserveForEstimate(QVector<STLReader::Facet> &facets, qint64 textStart, qint64 textNow,
                        qint64 textEnd)
{
    if (textEnd < 0 || textNow <= textStart)
        return;
    const double bytesPerFacet = double(textNow - textStart) / facets.size();
    const double estimate = double(textEnd - textStart) / bytesPerFacet * ESTIMATE_MARGIN;
    facets.reserve(int(std::min<double>(estimate, MAX_FACETS)));
}

// Reads up to `size` bytes, fewer only at the end of the file; -1 on a read error.
qint64 readFully(QIODevice &device, char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const qint64 got = device.read(data + done, size - done);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

float floatAt(const char *bytes, int index)
{
    return qFromLittleEndian<float>(bytes + 4 * index);
}

// One binary record, field by field (the compiler turns this into plain loads).
STLStruct binaryRecord(const char *bytes)
{
    STLStruct record;
    record.nx = floatAt(bytes, 0);
    record.ny = floatAt(bytes, 1);
    record.nz = floatAt(bytes, 2);
    record.ax = floatAt(bytes, 3);
    record.ay = floatAt(bytes, 4);
    record.az = floatAt(bytes, 5);
    record.bx = floatAt(bytes, 6);
    record.by = floatAt(bytes, 7);
    record.bz = floatAt(bytes, 8);
    record.cx = floatAt(bytes, 9);
    record.cy = floatAt(bytes, 10);
    record.cz = floatAt(bytes, 11);
    return record;
}

} // namespace

STLReader::Facet::Facet(const STLStruct &record)
    : m_n{record.nx, record.ny, record.nz}
    , m_a{record.ax, record.ay, record.az}
    , m_b{record.bx, record.by, record.bz}
    , m_c{record.cx, record.cy, record.cz}
{ }

void STLReader::Facet::recalculateNormals()
{
    // QVector3D::normal(a, b, c) of Qt 5.15 written out, step for step, so that a million
    // facets need no library calls: the cross product in float, its length in double, the
    // vector kept when its length is 1 within 1e-12 and the null vector for a (nearly)
    // degenerate facet.
    const float ux = m_b.x - m_a.x;
    const float uy = m_b.y - m_a.y;
    const float uz = m_b.z - m_a.z;
    const float vx = m_c.x - m_a.x;
    const float vy = m_c.y - m_a.y;
    const float vz = m_c.z - m_a.z;
    const float x = uy * vz - uz * vy;
    const float y = uz * vx - ux * vz;
    const float z = ux * vy - uy * vx;
    const double lengthSquared =
            double(x) * double(x) + double(y) * double(y) + double(z) * double(z);
    if (qFuzzyIsNull(lengthSquared - 1.0f)) {
        m_n = {x, y, z};
    } else if (qFuzzyIsNull(lengthSquared)) {
        m_n = {};
    } else {
        const double length = std::sqrt(lengthSquared);
        m_n = {float(double(x) / length), float(double(y) / length), float(double(z) / length)};
    }
}

void STLReader::Facet::translate(float dx, float dy, float dz)
{
    m_a = {m_a.x + dx, m_a.y + dy, m_a.z + dz};
    m_b = {m_b.x + dx, m_b.y + dy, m_b.z + dz};
    m_c = {m_c.x + dx, m_c.y + dy, m_c.z + dz};
}

float STLReader::Facet::getArea() const
{
    const QVector3D a = toQVector(m_a);
    const QVector3D cross = QVector3D::crossProduct(toQVector(m_b) - a, toQVector(m_c) - a);
    return float(0.5 * std::sqrt(double(cross.lengthSquared())));
}

float STLReader::Facet::getVolume() const
{
    const QVector3D cross = QVector3D::crossProduct(toQVector(m_b), toQVector(m_c));
    return float(double(QVector3D::dotProduct(toQVector(m_a), cross)) / 6.0);
}

STLReader::STLReader(const QString &path)
    : m_filePath(path)
{
    if (!QFile::exists(m_filePath))
        return;
    const int type = whichFileType();
    if (type == TYPE_UNREADABLE) {
        QFile file(m_filePath);
        m_error = file.open(QIODevice::ReadOnly) ? QString() : file.errorString();
        m_error.prepend(
                QStringLiteral("STLReader::STLReader(const QString &) ERRORE apertura file."));
        m_valid = false;
        return;
    }
    const bool parsed = type == TYPE_ASCII ? parseASCIIFile(m_error) : parseBinaryFile(m_error);
    if (parsed)
        normalizeAxes();
    // Coordinates near the float limit can overflow when the model is moved.
    const bool boundsFinite = std::all_of(std::begin(m_bounds), std::end(m_bounds),
                                          [](float bound) { return std::isfinite(bound); });
    if (parsed && !boundsFinite)
        m_error = QStringLiteral("void STLReader::normalizeAxes() ERROR: the coordinates overflow "
                                 "when the model is centred");
    if (!parsed || !boundsFinite) {
        m_valid = false;
        m_facets.clear();
        std::fill(std::begin(m_bounds), std::end(m_bounds), 0.0f);
    }
}

float STLReader::getObjectLength() const
{
    return std::abs(getXMax() - getXMin());
}

float STLReader::getObjectWidth() const
{
    return std::abs(getYMax() - getYMin());
}

float STLReader::getObjectHeight() const
{
    return std::abs(getZMax() - getZMin());
}

float STLReader::getObjectArea() const
{
    float area = 0;
    for (const Facet &facet : m_facets)
        area += facet.getArea();
    return area / 100;
}

float STLReader::getObjectVolume() const
{
    // The signed volumes about the origin add up to the enclosed volume whatever the winding.
    float volume = 0;
    for (const Facet &facet : m_facets)
        volume += facet.getVolume();
    return std::abs(volume / 1000);
}

float STLReader::getObjectMass() const
{
    return getObjectVolume() * RESIN_DENSITY / 1000;
}

float STLReader::getObjectCostFTD_SB() const
{
    return getObjectMass() * COSTO_FTD_SB;
}

float STLReader::getObjectCostFTD_IB() const
{
    return getObjectMass() * COSTO_FTD_IB;
}

float STLReader::getObjectCostFTD_CB() const
{
    return getObjectMass() * COSTO_FTD_CB;
}

float STLReader::getObjectCostPTL_HS() const
{
    return getObjectMass() * COSTO_PTL_HS;
}

float STLReader::getObjectCostPTL_CB() const
{
    return getObjectMass() * COSTO_PTL_CB;
}

QString STLReader::getModelName() const
{
    return QFileInfo(m_filePath).baseName();
}

int STLReader::whichFileType() const
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return TYPE_UNREADABLE;
    const std::unique_ptr<QIODevice> decoder = StlWords::unicodeDecoder(file);
    StlWords::WordReader words(decoder ? *decoder : file, DETECTION_BLOCK_SIZE);
    std::string_view word;
    // Past the end of the file (or a word too long to be real) there is no "facet" to come.
    for (int i = 0; i < TYPE_DETECTION_WORDS && words.next(word); ++i) {
        if (StlWords::isFacetKeyword(word))
            return TYPE_ASCII;
    }
    return TYPE_BINARY;
}

bool STLReader::parseASCIIFile(QString &error)
{
    error.clear();
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        error = ASCII_PARSER + QStringLiteral(" ERRORE apertura file.") + file.errorString();
        return false;
    }
    const std::unique_ptr<QIODevice> decoder = StlWords::unicodeDecoder(file);
    // Decoded text arrives in pieces of its own size: its words are measured at every piece.
    StlWords::WordReader words(decoder ? *decoder : file, ASCII_BLOCK_SIZE,
                               decoder ? 1 : WORD_CHECK_SPACING);
    std::string_view word;
    // Everything before the first word "facet" is the header line.
    do {
        if (!words.next(word)) {
            error = ASCII_PARSER
                    + (words.failed() ? QStringLiteral(" ERRORE lettura file.") + file.errorString()
                                      : QStringLiteral(" ERRORE parola facet non trovata"));
            return false;
        }
    } while (!StlWords::isFacetKeyword(word));

    // Offsets in the file only mean something when its bytes are read as they are.
    const qint64 fileSize = decoder ? -1 : file.size();
    qint64 firstRecord = 0;
    words.nextWordOffset(firstRecord);
    for (;;) {
        STLStruct record;
        const StlWords::RecordRead result = words.nextRecord(record);
        // A file cut inside a facet loses that facet only.
        if (result == StlWords::RecordRead::Truncated)
            break;
        if (result == StlWords::RecordRead::Corrupt) {
            error = ASCII_PARSER + QStringLiteral(" ERRORE lettura numero");
            return false;
        }
        if (!cornersAreFinite(record)) {
            error = ASCII_PARSER + QStringLiteral(" ERRORE coordinata non finita");
            return false;
        }
        if (m_facets.size() >= MAX_FACETS) {
            error = ASCII_PARSER + QStringLiteral(" ERRORE troppi triangoli");
            return false;
        }
        if (m_facets.isEmpty())
            setBounds(m_bounds, record);
        addFacetFromStruct(record);
        qint64 offset = 0;
        if (m_facets.size() == ESTIMATE_AFTER_FACETS && words.nextWordOffset(offset))
            reserveForEstimate(m_facets, firstRecord, offset, fileSize);
        // Any word but "endsolid" stands for "facet".
        if (!words.next(word) || word == "endsolid")
            break;
    }
    if (words.failed()) {
        error = ASCII_PARSER + QStringLiteral(" ERRORE lettura file.") + file.errorString();
        return false;
    }
    return true;
}

bool STLReader::parseBinaryFile(QString &error)
{
    error.clear();
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        error = BINARY_PARSER + QStringLiteral(" ERRORE apertura file.") + file.errorString();
        return false;
    }
    char countBytes[4];
    if (!file.seek(80) || file.read(countBytes, 4) != 4) {
        error = BINARY_PARSER + QStringLiteral(" ERRORE lettura numero di triangoli");
        return false;
    }
    // The header may promise more records than the file holds: read the whole ones present.
    const quint32 declaredCount = qFromLittleEndian<quint32>(countBytes);
    const qint64 presentCount =
            std::max<qint64>(0, (file.size() - BINARY_HEADER_SIZE) / BINARY_RECORD_SIZE);
    const qint64 recordCount = std::min<qint64>(declaredCount, presentCount);
    if (recordCount > MAX_FACETS) {
        error = BINARY_PARSER + QStringLiteral(" ERRORE troppi triangoli");
        return false;
    }
    m_facets.reserve(int(recordCount));
    QByteArray block;
    for (qint64 done = 0; done < recordCount;) {
        const qint64 wanted = std::min(recordCount - done, BINARY_RECORDS_PER_BLOCK);
        block.resize(int(wanted * BINARY_RECORD_SIZE));
        const qint64 got = readFully(file, block.data(), block.size());
        if (got < 0) {
            error = BINARY_PARSER + QStringLiteral(" ERRORE lettura file.") + file.errorString();
            return false;
        }
        const qint64 wholeRecords = got / BINARY_RECORD_SIZE;
        for (qint64 i = 0; i < wholeRecords; ++i) {
            const STLStruct record = binaryRecord(block.constData() + i * BINARY_RECORD_SIZE);
            if (!cornersAreFinite(record)) {
                error = BINARY_PARSER + QStringLiteral(" ERRORE coordinata non finita");
                return false;
            }
            if (m_facets.isEmpty())
                setBounds(m_bounds, record);
            addFacetFromStruct(record);
        }
        // The file got shorter while it was read.
        if (wholeRecords < wanted)
            break;
        done += wanted;
    }
    return true;
}

void STLReader::normalizeAxes()
{
    const float centreX = (m_bounds[0] + m_bounds[1]) * 0.5f;
    const float centreY = (m_bounds[2] + m_bounds[3]) * 0.5f;
    const float bottom = m_bounds[4];
    m_bounds[0] -= centreX;
    m_bounds[1] -= centreX;
    m_bounds[2] -= centreY;
    m_bounds[3] -= centreY;
    m_bounds[5] -= bottom;
    m_bounds[4] = 0;
    // Moving a small batch before recomputing its normals lets the memory reads run ahead of the
    // slow square roots and divisions: about twice as fast as both steps facet by facet.
    const auto normalize = [centreX, centreY, bottom](Facet *begin, Facet *end) {
        for (Facet *batch = begin; batch < end; batch += NORMALS_BATCH_SIZE) {
            Facet *const batchEnd = std::min(end, batch + NORMALS_BATCH_SIZE);
            for (Facet *facet = batch; facet < batchEnd; ++facet)
                facet->translate(-centreX, -centreY, -bottom);
            for (Facet *facet = batch; facet < batchEnd; ++facet)
                facet->recalculateNormals();
        }
    };
    Facet *const begin = m_facets.data();
    Facet *const end = begin + m_facets.size();
    // Each facet is handled on its own, so a large model's halves can run in parallel.
    if (m_facets.size() < PARALLEL_MIN_FACETS || std::thread::hardware_concurrency() < 2) {
        normalize(begin, end);
        return;
    }
    Facet *const middle = begin + m_facets.size() / 2;
    std::thread helper(normalize, middle, end);
    normalize(begin, middle);
    helper.join();
}

#include "model/stlmodelinstance.h"

#include <algorithm>
#include <cmath>

namespace {

float normalizedAngle(float degrees)
{
    if (!std::isfinite(degrees))
        return 0.0f;
    if (degrees >= 0.0f && degrees <= 360.0f)
        return degrees;
    // The remainder is exact, where adding or subtracting 360 in a loop would never end for a
    // huge angle. Angles above 360 land in (0, 360], those below 0 in [0, 360).
    const float rest = std::fmod(degrees, 360.0f);
    if (degrees > 360.0f)
        return rest == 0.0f ? 360.0f : rest;
    // -0 (from a multiple of -360) becomes 0.
    return rest < 0.0f ? rest + 360.0f : rest + 0.0f;
}

float flooredScale(float scale, float current)
{
    if (!std::isfinite(scale))
        return current;
    return scale <= STLModelInstance::INSTANCE_MIN_SCALE ? STLModelInstance::INSTANCE_MIN_SCALE
                                                         : scale;
}

QVector3D flooredScale(const QVector3D &scale, const QVector3D &current)
{
    return {flooredScale(scale.x(), current.x()), flooredScale(scale.y(), current.y()),
            flooredScale(scale.z(), current.z())};
}

float finiteOr(float value, float current)
{
    return std::isfinite(value) ? value : current;
}

void writeVertex(float *&out, float x, float y, float z)
{
    out[0] = x;
    out[1] = y;
    out[2] = z;
    out += 3;
}

void writeVertex(float *&out, const STLReader::Vertex &vertex)
{
    writeVertex(out, vertex.x, vertex.y, vertex.z);
}

// Cells are numbered from this far below zero on, so that truncating rounds down.
constexpr double CELL_OFFSET = 1 << 30;

// The cell of a grid holding a point, by its number along each axis.
struct Cell
{
    qint64 x, y, z;
    bool operator==(const Cell &other) const
    {
        return x == other.x && y == other.y && z == other.z;
    }
};

// The same coordinate always gets the same number, so facets sharing a corner move it alike.
qint64 cellNumber(float coordinate, double cellsPerMm)
{
    return qint64(double(coordinate) * cellsPerMm + CELL_OFFSET);
}

Cell cellOf(const STLReader::Vertex &vertex, double cellsPerMm)
{
    return {cellNumber(vertex.x, cellsPerMm), cellNumber(vertex.y, cellsPerMm),
            cellNumber(vertex.z, cellsPerMm)};
}

// The cells of the facet's corners; true when they are three different ones.
bool spansThreeCells(const STLReader::Facet &facet, double cellsPerMm, Cell *cells)
{
    cells[0] = cellOf(facet.a(), cellsPerMm);
    cells[1] = cellOf(facet.b(), cellsPerMm);
    cells[2] = cellOf(facet.c(), cellsPerMm);
    return !(cells[0] == cells[1]) && !(cells[1] == cells[2]) && !(cells[0] == cells[2]);
}

// Whether every corner's cell number stays within the offset (the bounds hold every corner).
bool gridHoldsModel(const STLReader &model, double cellsPerMm)
{
    const float reach = std::max({std::fabs(model.getXMin()), std::fabs(model.getXMax()),
                                  std::fabs(model.getYMin()), std::fabs(model.getYMax()),
                                  std::fabs(model.getZMin()), std::fabs(model.getZMax())});
    return double(reach) * cellsPerMm < CELL_OFFSET;
}

} // namespace

STLModelInstance::STLModelInstance(std::unique_ptr<STLReader> model)
    : m_model(std::move(model))
{ }

void STLModelInstance::writeVertexData(float *positions, float *normals) const
{
    for (const STLReader::Facet &facet : m_model->facets()) {
        writeVertex(positions, facet.a());
        writeVertex(positions, facet.b());
        writeVertex(positions, facet.c());
        const STLReader::Vertex normal = facet.n();
        writeVertex(normals, normal);
        writeVertex(normals, normal);
        writeVertex(normals, normal);
    }
}

int STLModelInstance::coarseFacetCount(float cellSize) const
{
    const double cellsPerMm = 1.0 / double(cellSize);
    if (!gridHoldsModel(*m_model, cellsPerMm))
        return m_model->facets().size();
    Cell cells[3];
    int count = 0;
    for (const STLReader::Facet &facet : m_model->facets())
        count += spansThreeCells(facet, cellsPerMm, cells) ? 1 : 0;
    return count;
}

void STLModelInstance::writeCoarseVertexData(float cellSize, float *positions, float *normals) const
{
    const double cellsPerMm = 1.0 / double(cellSize);
    // A grid that fine would not make the model any coarser.
    if (!gridHoldsModel(*m_model, cellsPerMm)) {
        writeVertexData(positions, normals);
        return;
    }
    const auto centre = [cellSize](qint64 number) {
        return float((double(number) - CELL_OFFSET + 0.5) * double(cellSize));
    };
    Cell cells[3];
    for (const STLReader::Facet &facet : m_model->facets()) {
        if (!spansThreeCells(facet, cellsPerMm, cells))
            continue;
        for (const Cell &cell : cells)
            writeVertex(positions, centre(cell.x), centre(cell.y), centre(cell.z));
        const STLReader::Vertex normal = facet.n();
        writeVertex(normals, normal);
        writeVertex(normals, normal);
        writeVertex(normals, normal);
    }
}

void STLModelInstance::setPosition(const QVector3D &position)
{
    m_modelMatrix.setToIdentity();
    m_position = {finiteOr(position.x(), m_position.x()), finiteOr(position.y(), m_position.y()),
                  finiteOr(position.z(), m_position.z())};
}

void STLModelInstance::setRotation(const QVector3D &rotation)
{
    QVector3D normalized = rotation;
    normalizeRotation(normalized);
    m_rotation = normalized;
}

void STLModelInstance::scaleModel(const QVector3D &delta)
{
    m_scale = flooredScale(m_scale + delta, m_scale);
}

void STLModelInstance::setScale(const QVector3D &scale)
{
    m_scale = flooredScale(scale, m_scale);
}

void STLModelInstance::normalizeRotation(QVector3D &rotation)
{
    rotation = {normalizedAngle(rotation.x()), normalizedAngle(rotation.y()),
                normalizedAngle(rotation.z())};
}

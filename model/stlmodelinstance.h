#pragma once

#include <memory>

#include <QMatrix4x4>
#include <QString>
#include <QVector3D>

#include "model/stlreader.h"

// One model placed on the build plate: it owns the model read from disk and keeps its placement
// (position in millimetres, rotation in degrees about x, y and z, scale per axis) and whether it
// is selected. The 3D view keeps the vertex buffers it is drawn from and has them filled here,
// straight from the model's facets, so that a large model is not copied on the way.
class STLModelInstance
{
public:
    static constexpr float INSTANCE_MIN_SCALE = 0.01f;
    // Drawing data per vertex: its position and its facet's normal, three floats each.
    static constexpr int VERTEX_DATA_SIZE = 6 * int(sizeof(float));

    // `model` must not be null.
    explicit STLModelInstance(std::unique_ptr<STLReader> model);

    const STLReader &model() const { return *m_model; }
    QString name() const { return m_model->getModelName(); }
    QString filePath() const { return m_model->getModelFilePath(); }

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected) { m_selected = selected; }

    // Three per facet.
    int vertexCount() const { return 3 * m_model->facets().size(); }
    // Writes the drawing data of every facet: its corners a, b and c to `positions` and its
    // normal three times to `normals`, vertexCount() * 3 floats in each. Positions first and
    // normals after them is the buffer layout the view draws from.
    void writeVertexData(float *positions, float *normals) const;

    // A coarser stand-in for drawing the model where its facets are far smaller than a pixel:
    // the facets whose corners lie in three different cells of a grid of `cellSize` mm (> 0),
    // with their corners moved to the centres of their cells and their normals kept. Facets
    // that share a corner move it alike, so no cracks open between them. A grid too fine for
    // the model (2^30 cells from the origin to its farthest corner) keeps every facet as it is.
    int coarseFacetCount(float cellSize) const;
    // Writes those facets as writeVertexData does, 9 floats per facet in each.
    void writeCoarseVertexData(float cellSize, float *positions, float *normals) const;

    QVector3D position() const { return m_position; }
    QVector3D rotation() const { return m_rotation; }
    QVector3D scale() const { return m_scale; }
    const QMatrix4x4 &modelMatrix() const { return m_modelMatrix; }
    QMatrix4x4 &modelMatrix() { return m_modelMatrix; }

    // Resets the model matrix to identity; the view applies the placement. A component that is
    // not a finite number keeps its current value.
    void setPosition(const QVector3D &position);
    // Stores the angles brought into the range 0 to 360 (normalizeRotation).
    void setRotation(const QVector3D &rotation);
    // Adds to the scale; a component at or below INSTANCE_MIN_SCALE becomes INSTANCE_MIN_SCALE,
    // one that is not a finite number keeps its current value.
    void scaleModel(const QVector3D &delta);
    // Sets the scale, with the same floor.
    void setScale(const QVector3D &scale);

    // Each angle in degrees brought into the range: below 0 into [0, 360), above 360 into
    // (0, 360], so 0 and 360 stay as they are. An angle that is not a finite number becomes 0.
    static void normalizeRotation(QVector3D &rotation);

private:
    std::unique_ptr<STLReader> m_model;
    bool m_selected = false;
    QMatrix4x4 m_modelMatrix;
    QVector3D m_position;
    QVector3D m_rotation;
    QVector3D m_scale{1, 1, 1};
};

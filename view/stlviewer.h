#pragma once

#include <limits>
#include <map>
#include <memory>
#include <vector>

#include <QColor>
#include <QMatrix4x4>
#include <QOpenGLBuffer>
#include <QOpenGLFunctions>
#include <QOpenGLVertexArrayObject>
#include <QOpenGLWidget>
#include <QPoint>
#include <QTimer>

class QOpenGLShaderProgram;
class STLModelInstance;

// The 3D view of the model page: the build plate and the placed models, lit by one shader, with
// the camera orbiting on a right-button drag and zooming with the wheel. Models are referenced,
// not owned; their vertex buffers are made when first drawn and freed here, with the view's
// context current. A large model whose facets come out far smaller than a pixel is drawn from a
// coarse stand-in (STLModelInstance::writeCoarseVertexData) with cells within a pixel, which
// looks the same and draws many times faster. A 20 ms timer redraws the view while it is shown,
// and only when something it draws changed (the models' placements and selection included).
class STLViewer : public QOpenGLWidget, protected QOpenGLFunctions
{
    Q_OBJECT

public:
    explicit STLViewer(QWidget *parent = nullptr);
    ~STLViewer() override;

    void setBackgroundColor(const QColor &colour);

    // Appends the model to the drawn list (indexes follow the main window's list of instances).
    void addModel(STLModelInstance *instance);
    // Frees entry `index`'s buffers and forgets it; the instance itself is not touched, so it
    // may already be deleted. An index out of range does nothing, here and below.
    void removeModel(int index);
    void selectModel(int index);
    void deSelectModel(int index);
    // Each of these stores the value in the instance and rebuilds its model matrix from the
    // position, the rotation (about x, then y, then z) and the scale.
    void moveModel(int index, const QVector3D &position);
    void rotateModel(int index, const QVector3D &axis);
    void scaleModel(int index, const QVector3D &scale);

    // The current view at the framebuffer's size (the slicing thumbnail), drawn for the purpose,
    // so also while the view is hidden.
    QImage takeScreenShot();

    int modelCount() const { return int(m_models.size()); }
    double cameraAngleX() const { return m_cameraAngleX; }
    double cameraAngleY() const { return m_cameraAngleY; }
    double cameraDistance() const { return m_cameraDistance; }
    // Frames drawn since the view was made.
    int framesDrawn() const { return m_framesDrawn; }
    // Vertices of the models in the last frame, and the buffers the models hold.
    int modelVerticesDrawn() const { return m_modelVerticesDrawn; }
    int modelBufferCount() const;
    // On by default; off, every model is drawn from all its facets.
    void setCoarseStandIns(bool enabled);
    // False until the view first has a context (shown or grabbed), and when the shaders failed.
    bool shadersLinked() const { return m_program != nullptr; }

protected:
    void initializeGL() override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private slots:
    void sltRedrawIfChanged();

private:
    // Drawing data in a vertex buffer: positions, then normals.
    struct Buffer
    {
        std::unique_ptr<QOpenGLBuffer> buffer;
        int vertexCount = 0;
        // Made, or tried: a buffer that could not be made is not tried again every frame.
        bool made = false;
    };
    struct Model
    {
        STLModelInstance *instance = nullptr;
        Buffer full;
        // Coarse stand-ins by level: cells of 2^level mm.
        std::map<int, Buffer> coarse;
        // Levels up to this one leave too many facets to be worth a buffer of their own.
        int fullDetailUpTo = std::numeric_limits<int>::min();
    };
    // What a frame shows: redrawing the same state again is wasted work.
    struct DrawnModel
    {
        const STLModelInstance *instance = nullptr;
        bool selected = false;
        QMatrix4x4 matrix;
        bool operator==(const DrawnModel &other) const;
    };
    struct DrawnState
    {
        double cameraAngleX = 0;
        double cameraAngleY = 0;
        double cameraDistance = 0;
        QColor background;
        bool coarseStandIns = true;
        std::vector<DrawnModel> models;
        bool operator==(const DrawnState &other) const;
        bool operator!=(const DrawnState &other) const { return !(*this == other); }
    };

    Model *modelAt(int index);
    void placeModel(STLModelInstance &instance);
    DrawnState drawnState() const;
    void freeGLResources();
    // These need the context current.
    void clearErrors();
    const Buffer &drawingData(Model &model, const QVector3D &eye);
    const Buffer &fullData(Model &model);
    // A buffer of `facets` facets, filled by `write(positions, normals)`.
    template <typename Write>
    Buffer makeBuffer(const STLModelInstance &instance, int facets, Write write);
    void drawBuffer(const Buffer &data, const QMatrix4x4 &modelMatrix, const QMatrix4x4 &view,
                    const QVector3D &lightPosition, const QColor &ambient, const QColor &diffuse);

    QColor m_background = Qt::gray;
    QPoint m_lastMousePosition;
    double m_cameraAngleX = -60;
    double m_cameraAngleY = 0;
    double m_cameraDistance = 250;
    QMatrix4x4 m_projection;
    // In device pixels.
    double m_viewportHeight = 1;
    bool m_coarseStandIns = true;

    std::unique_ptr<QOpenGLShaderProgram> m_program;
    QOpenGLVertexArrayObject m_vertexArray;
    // The plate is drawn as a model lowered by its height, so that its top lies at z = 0.
    std::unique_ptr<STLModelInstance> m_plate;
    Buffer m_plateBuffer;
    std::vector<Model> m_models;

    QTimer m_repaintTimer;
    DrawnState m_drawn;
    int m_framesDrawn = 0;
    int m_modelVerticesDrawn = 0;
};

#include "view/stlviewer.h"

#include <cmath>
#include <limits>

#include <QMouseEvent>
#include <QOpenGLShaderProgram>
#include <QWheelEvent>
#include <QtMath>

#include "model/stlmodelinstance.h"

namespace {

constexpr int REPAINT_INTERVAL_MS = 20;
constexpr double FIELD_OF_VIEW = 60;
// The camera's turn about z and the light's about y stay as they are.
constexpr double CAMERA_ANGLE_Z = 180;
constexpr double LIGHT_ANGLE = 0;
constexpr double NEAR_PLANE = 0.001;
constexpr double FAR_PLANE = 1000;
// Models with fewer facets are always drawn in full: they draw fast enough.
constexpr int COARSE_MIN_FACETS = 100000;
// A stand-in must drop at least half of the facets to be worth its buffer.
constexpr int COARSE_MAX_SHARE = 2;
constexpr int COARSE_LEVEL_RANGE = 30;
constexpr double ZOOM_IN = 0.9;
constexpr double ZOOM_OUT = 1.1;
// The light stays above and behind the camera, by this much.
constexpr double LIGHT_BEYOND_CAMERA = 300;

const QColor PLATE_AMBIENT(32, 32, 32);
const QColor PLATE_DIFFUSE(128, 128, 128);
const QColor SELECTED_AMBIENT(255, 0, 0);
const QColor MODEL_AMBIENT(0, 100, 255);
const QColor MODEL_DIFFUSE(0, 255, 0);
const QColor SPECULAR(255, 255, 255);
constexpr float SHININESS = 100;

const QString PLATE_MODEL = QStringLiteral(":/stl/bed.stl");
const QString VERTEX_SHADER = QStringLiteral(":/lightingVertexShader.vsh");
const QString FRAGMENT_SHADER = QStringLiteral(":/lightingFragmentShader.fsh");

// Brings an angle into [0, range).
double wrapped(double degrees, double range)
{
    const double rest = std::fmod(degrees, range);
    return rest < 0 ? rest + range : rest;
}

} // namespace

bool STLViewer::DrawnModel::operator==(const DrawnModel &other) const
{
    return instance == other.instance && selected == other.selected && matrix == other.matrix;
}

bool STLViewer::DrawnState::operator==(const DrawnState &other) const
{
    return cameraAngleX == other.cameraAngleX && cameraAngleY == other.cameraAngleY
            && cameraDistance == other.cameraDistance && background == other.background
            && coarseStandIns == other.coarseStandIns && models == other.models;
}

STLViewer::STLViewer(QWidget *parent)
    : QOpenGLWidget(parent)
{
    m_repaintTimer.setInterval(REPAINT_INTERVAL_MS);
    connect(&m_repaintTimer, &QTimer::timeout, this, &STLViewer::sltRedrawIfChanged);
}

STLViewer::~STLViewer()
{
    // The base class destroys the context after this object is gone: no call back then.
    if (context())
        disconnect(context(), nullptr, this, nullptr);
    freeGLResources();
}

void STLViewer::setBackgroundColor(const QColor &colour)
{
    m_background = colour;
    update();
}

void STLViewer::addModel(STLModelInstance *instance)
{
    if (!instance)
        return;
    m_models.push_back({instance, {}, {}});
    update();
}

void STLViewer::removeModel(int index)
{
    Model *model = modelAt(index);
    if (!model)
        return;
    makeCurrent();
    model->full = {};
    model->coarse.clear();
    doneCurrent();
    m_models.erase(m_models.begin() + index);
    update();
}

void STLViewer::selectModel(int index)
{
    if (Model *model = modelAt(index)) {
        model->instance->setSelected(true);
        update();
    }
}

void STLViewer::deSelectModel(int index)
{
    if (Model *model = modelAt(index)) {
        model->instance->setSelected(false);
        update();
    }
}

void STLViewer::moveModel(int index, const QVector3D &position)
{
    if (Model *model = modelAt(index)) {
        model->instance->setPosition(position);
        placeModel(*model->instance);
    }
}

void STLViewer::rotateModel(int index, const QVector3D &axis)
{
    if (Model *model = modelAt(index)) {
        model->instance->setRotation(axis);
        placeModel(*model->instance);
    }
}

void STLViewer::scaleModel(int index, const QVector3D &scale)
{
    if (Model *model = modelAt(index)) {
        model->instance->setScale(scale);
        placeModel(*model->instance);
    }
}

QImage STLViewer::takeScreenShot()
{
    return grabFramebuffer();
}

int STLViewer::modelBufferCount() const
{
    int count = 0;
    for (const Model &model : m_models) {
        count += model.full.buffer ? 1 : 0;
        for (const auto &level : model.coarse)
            count += level.second.buffer ? 1 : 0;
    }
    return count;
}

void STLViewer::setCoarseStandIns(bool enabled)
{
    m_coarseStandIns = enabled;
    update();
}

void STLViewer::initializeGL()
{
    initializeOpenGLFunctions();
    // The context goes when the view moves to another window: a new one gets everything again.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &STLViewer::freeGLResources);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);

    m_program = std::make_unique<QOpenGLShaderProgram>();
    if (!m_program->addShaderFromSourceFile(QOpenGLShader::Vertex, VERTEX_SHADER)
        || !m_program->addShaderFromSourceFile(QOpenGLShader::Fragment, FRAGMENT_SHADER)
        || !m_program->link()) {
        qWarning("STLViewer: the lighting shaders cannot be used: %s",
                 qPrintable(m_program->log()));
        m_program.reset();
    }
    m_vertexArray.create();

    if (!m_plate) {
        m_plate = std::make_unique<STLModelInstance>(std::make_unique<STLReader>(PLATE_MODEL));
        m_plate->modelMatrix().translate(0, 0, -m_plate->model().getZMax());
    }
    m_plateBuffer = makeBuffer(*m_plate, m_plate->model().facets().size(),
                               [this](float *positions, float *normals) {
                                   m_plate->writeVertexData(positions, normals);
                               });
}

void STLViewer::paintGL()
{
    glClearColor(m_background.redF(), m_background.greenF(), m_background.blueF(), 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    m_drawn = drawnState();
    ++m_framesDrawn;
    if (!m_program)
        return;

    // From the size of the moment: a grab of a hidden view has had no resize.
    m_viewportHeight = std::max(1.0, height() * devicePixelRatioF());
    m_projection.setToIdentity();
    m_projection.perspective(FIELD_OF_VIEW, float(width()) / float(std::max(height(), 1)),
                             NEAR_PLANE, FAR_PLANE);

    QMatrix4x4 camera;
    camera.rotate(m_cameraAngleX, 1, 0, 0);
    camera.rotate(m_cameraAngleY, 0, 1, 0);
    camera.rotate(CAMERA_ANGLE_Z, 0, 0, 1);
    const QVector3D eye = camera.map(QVector3D(0, 0, m_cameraDistance));
    // Looking straight down or up, the z axis cannot be the up direction: the camera's own
    // "up" takes over, the direction the view turns towards as it gets there.
    const bool vertical = qFuzzyIsNull(eye.x()) && qFuzzyIsNull(eye.y());
    const QVector3D up = vertical ? -camera.mapVector(QVector3D(0, 1, 0)) : QVector3D(0, 0, 1);
    QMatrix4x4 view;
    view.lookAt(eye, QVector3D(), up);

    QMatrix4x4 light;
    light.rotate(LIGHT_ANGLE, 0, 1, 0);
    const QVector3D lightPosition =
            view.map(light.map(QVector3D(0, 1, m_cameraDistance + LIGHT_BEYOND_CAMERA)));

    QOpenGLVertexArrayObject::Binder vertexArray(&m_vertexArray);
    m_program->bind();
    drawBuffer(m_plateBuffer, m_plate->modelMatrix(), view, lightPosition, PLATE_AMBIENT,
               PLATE_DIFFUSE);
    m_modelVerticesDrawn = 0;
    for (Model &model : m_models) {
        const Buffer &data = drawingData(model, eye);
        drawBuffer(data, model.instance->modelMatrix(), view, lightPosition,
                   model.instance->isSelected() ? SELECTED_AMBIENT : MODEL_AMBIENT, MODEL_DIFFUSE);
        m_modelVerticesDrawn += data.buffer ? data.vertexCount : 0;
    }
    m_program->release();
}

void STLViewer::mousePressEvent(QMouseEvent *event)
{
    m_lastMousePosition = event->pos();
    event->accept();
}

void STLViewer::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint delta = event->pos() - m_lastMousePosition;
    if (event->buttons() & Qt::RightButton) {
        m_cameraAngleX = wrapped(m_cameraAngleX - delta.y(), 180);
        m_cameraAngleY = wrapped(m_cameraAngleY - delta.x(), 360);
        update();
    }
    m_lastMousePosition = event->pos();
    event->accept();
}

void STLViewer::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (delta != 0) {
        m_cameraDistance *= delta > 0 ? ZOOM_IN : ZOOM_OUT;
        update();
    }
    event->accept();
}

void STLViewer::showEvent(QShowEvent *event)
{
    QOpenGLWidget::showEvent(event);
    m_repaintTimer.start();
}

void STLViewer::hideEvent(QHideEvent *event)
{
    // Out of sight (another page is current) the view needs no ticks at all.
    m_repaintTimer.stop();
    QOpenGLWidget::hideEvent(event);
}

void STLViewer::sltRedrawIfChanged()
{
    if (drawnState() != m_drawn)
        update();
}

void STLViewer::freeGLResources()
{
    // Before the view is first shown there is no context and nothing to free.
    makeCurrent();
    for (Model &model : m_models) {
        model.full = {};
        model.coarse.clear();
    }
    m_plateBuffer = {};
    m_vertexArray.destroy();
    m_program.reset();
    doneCurrent();
}

STLViewer::Model *STLViewer::modelAt(int index)
{
    return index >= 0 && index < int(m_models.size()) ? &m_models[size_t(index)] : nullptr;
}

// The model is scaled, turned about x, then y, then z, and moved to its position.
void STLViewer::placeModel(STLModelInstance &instance)
{
    QMatrix4x4 &matrix = instance.modelMatrix();
    matrix.setToIdentity();
    matrix.translate(instance.position());
    matrix.rotate(instance.rotation().z(), 0, 0, 1);
    matrix.rotate(instance.rotation().y(), 0, 1, 0);
    matrix.rotate(instance.rotation().x(), 1, 0, 0);
    matrix.scale(instance.scale());
    update();
}

STLViewer::DrawnState STLViewer::drawnState() const
{
    DrawnState state;
    state.cameraAngleX = m_cameraAngleX;
    state.cameraAngleY = m_cameraAngleY;
    state.cameraDistance = m_cameraDistance;
    state.background = m_background;
    state.coarseStandIns = m_coarseStandIns;
    state.models.reserve(m_models.size());
    for (const Model &model : m_models)
        state.models.push_back(
                {model.instance, model.instance->isSelected(), model.instance->modelMatrix()});
    return state;
}

// The level of detail is chosen where the model comes nearest to the eye: cells of at most
// a pixel there cannot be told from the full model.
const STLViewer::Buffer &STLViewer::drawingData(Model &model, const QVector3D &eye)
{
    const STLModelInstance &instance = *model.instance;
    const STLReader &reader = instance.model();
    const int facets = reader.facets().size();
    if (!m_coarseStandIns || facets < COARSE_MIN_FACETS)
        return fullData(model);

    const QMatrix4x4 &matrix = instance.modelMatrix();
    float stretch = 0;
    for (int column = 0; column < 3; ++column)
        stretch = std::max(stretch, matrix.column(column).toVector3D().length());
    const QVector3D low(reader.getXMin(), reader.getYMin(), reader.getZMin());
    const QVector3D high(reader.getXMax(), reader.getYMax(), reader.getZMax());
    const float radius = (high - low).length() / 2 * stretch;
    const double nearest = std::max<double>(
            eye.distanceToPoint(matrix.map((low + high) / 2)) - radius, NEAR_PLANE);
    const double pixel = 2 * nearest * std::tan(qDegreesToRadians(FIELD_OF_VIEW / 2))
            / m_viewportHeight / double(stretch);
    const double level = std::floor(std::log2(pixel));
    if (!std::isfinite(level) || std::abs(level) > COARSE_LEVEL_RANGE
        || int(level) <= model.fullDetailUpTo)
        return fullData(model);

    const auto found = model.coarse.find(int(level));
    if (found != model.coarse.end())
        return found->second;
    const float cellSize = std::ldexp(1.0f, int(level));
    const int kept = instance.coarseFacetCount(cellSize);
    if (kept > facets / COARSE_MAX_SHARE) {
        model.fullDetailUpTo = std::max(model.fullDetailUpTo, int(level));
        return fullData(model);
    }
    return model.coarse[int(level)] =
                   makeBuffer(instance, kept, [&](float *positions, float *normals) {
                       instance.writeCoarseVertexData(cellSize, positions, normals);
                   });
}

const STLViewer::Buffer &STLViewer::fullData(Model &model)
{
    const STLModelInstance &instance = *model.instance;
    if (!model.full.made)
        model.full = makeBuffer(instance, instance.model().facets().size(),
                                [&](float *positions, float *normals) {
                                    instance.writeVertexData(positions, normals);
                                });
    return model.full;
}

void STLViewer::clearErrors()
{
    // A context keeps at most one error of each kind.
    for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) { }
}

template <typename Write>
STLViewer::Buffer STLViewer::makeBuffer(const STLModelInstance &instance, int facets, Write write)
{
    Buffer data;
    data.made = true;
    const qint64 bytes = 3 * qint64(facets) * STLModelInstance::VERTEX_DATA_SIZE;
    // The toolkit sizes buffers with an int: a model too large for one is not drawn.
    if (facets == 0 || bytes > std::numeric_limits<int>::max())
        return data;
    auto buffer = std::make_unique<QOpenGLBuffer>(QOpenGLBuffer::VertexBuffer);
    buffer->setUsagePattern(QOpenGLBuffer::StaticDraw);
    if (!buffer->create() || !buffer->bind())
        return data;
    clearErrors();
    buffer->allocate(int(bytes));
    if (glGetError() == GL_OUT_OF_MEMORY) {
        qWarning("STLViewer: no room for the %d facets of %s", facets,
                 qPrintable(instance.filePath()));
        return data;
    }
    // Straight into the buffer's memory, positions first and the normals after them.
    auto *positions = static_cast<float *>(buffer->map(QOpenGLBuffer::WriteOnly));
    if (!positions)
        return data;
    write(positions, positions + 9 * facets);
    const bool written = buffer->unmap();
    buffer->release();
    if (written) {
        data.buffer = std::move(buffer);
        data.vertexCount = 3 * facets;
    }
    return data;
}

void STLViewer::drawBuffer(const Buffer &data, const QMatrix4x4 &modelMatrix,
                           const QMatrix4x4 &view, const QVector3D &lightPosition,
                           const QColor &ambient, const QColor &diffuse)
{
    if (!data.buffer)
        return;
    const QMatrix4x4 modelView = view * modelMatrix;
    m_program->setUniformValue("mvpMatrix", m_projection * modelView);
    m_program->setUniformValue("mvMatrix", modelView);
    m_program->setUniformValue("normalMatrix", modelView.normalMatrix());
    m_program->setUniformValue("lightPosition", lightPosition);
    m_program->setUniformValue("ambientColor", ambient);
    m_program->setUniformValue("diffuseColor", diffuse);
    m_program->setUniformValue("specularColor", SPECULAR);
    m_program->setUniformValue("ambientReflection", 1.0f);
    m_program->setUniformValue("diffuseReflection", 1.0f);
    m_program->setUniformValue("specularReflection", 1.0f);
    m_program->setUniformValue("shininess", SHININESS);

    data.buffer->bind();
    m_program->setAttributeBuffer("vertex", GL_FLOAT, 0, 3);
    m_program->setAttributeBuffer("normal", GL_FLOAT, data.vertexCount * 3 * int(sizeof(float)), 3);
    m_program->enableAttributeArray("vertex");
    m_program->enableAttributeArray("normal");
    data.buffer->release();
    glDrawArrays(GL_TRIANGLES, 0, data.vertexCount);
    m_program->disableAttributeArray("vertex");
    m_program->disableAttributeArray("normal");
}

#include "slicing/slicer.h"

#include <climits>
#include <cmath>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QTextStream>
#include <QThread>

#include "app/constants.h"
#include "job/vekformat.h"
#include "slicing/facetsweep.h"
#include "slicing/layerpipeline.h"
#include "slicing/layertext.h"
#include "slicing/planesection.h"
#include "slicing/slicingprogress.h"

namespace {

const QIODevice::OpenMode DOCUMENT_OPEN_MODE =
        QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate | QIODevice::Unbuffered;

bool hasGuiApplication()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

// Layers cut ahead of the one being written, per worker thread: enough to keep the workers busy
// while a layer is written, few enough that memory does not grow with the model's height.
const int LAYERS_IN_FLIGHT_PER_WORKER = 4;
// Each layer in flight carries copies of the facets that cross its plane; on a model whose planes
// cross a great many facets, fewer layers are let in flight (2 million facets are about 100 MB).
const size_t FACETS_IN_FLIGHT = 2000000;

// Text in the text stream's default real-number format, which the documents use for the model's
// box and the plane heights.
template <typename Write>
QByteArray streamed(Write write)
{
    QString text;
    QTextStream stream(&text, QIODevice::WriteOnly);
    write(stream);
    stream.flush();
    return text.toUtf8();
}

} // namespace

Slicer::Slicer(QObject *parent)
    : QObject(parent)
{ }

Slicer::Slicer(QObject *parent, const QString &file)
    : Slicer(parent)
{
    initMembers(file, 100, 0.1f, false);
}

Slicer::Slicer(QObject *parent, const QString &file, int zCut, float lineWidth, bool isHollow)
    : Slicer(parent)
{
    initMembers(file, zCut, lineWidth, isHollow);
}

Slicer::~Slicer()
{
    if (m_cursorOverridden)
        QGuiApplication::restoreOverrideCursor();
}

void Slicer::initMembers(const QString &file, int zCut, float lineWidth, bool isHollow)
{
    if (file.isEmpty())
        return;
    m_fileName = file;
    m_layerThickness = zCut / 1000.0;
    m_lineWidth = lineWidth;
    m_isHollow = isHollow;
    m_reader = std::make_unique<STLReader>(file);
    m_outputFolder.clear();
    m_planeCounter = 0;
    m_isSlicing = false;
}

void Slicer::setFileName(const QString &file)
{
    if (!file.isEmpty())
        m_fileName = file;
}

void Slicer::setZCut(int zCut)
{
    m_layerThickness = zCut / 1000.0;
}

void Slicer::changeCursorStatus(bool busy)
{
    m_cursor.setShape(busy ? Qt::WaitCursor : Qt::ArrowCursor);
    // Without a screen (the command-line tool) there is no cursor to show.
    if (!hasGuiApplication())
        return;
    // The wait cursor is pushed once and popped at the end, so that the widgets get their own
    // cursors back instead of an arrow forced over all of them.
    if (busy && m_cursorOverridden) {
        QGuiApplication::changeOverrideCursor(m_cursor);
    } else if (busy) {
        QGuiApplication::setOverrideCursor(m_cursor);
        m_cursorOverridden = true;
    } else if (m_cursorOverridden) {
        QGuiApplication::restoreOverrideCursor();
        m_cursorOverridden = false;
    }
}

void Slicer::turnOnSlicing()
{
    m_isSlicing = true;
    changeCursorStatus(true);
}

void Slicer::turnOffSlicing()
{
    m_isSlicing = false;
    changeCursorStatus(false);
}

bool Slicer::engage(QString &error)
{
    turnOnSlicing();
    error.clear();
    if (!checkModel(error)) {
        turnOffSlicing();
        return false;
    }

    QString openError;
    if (!svgOpenOutputFile(openError)) {
        error += openError;
        return false;
    }
    emit sgnAskForScreenShot();
    error.clear();
    return slice(error);
}

bool Slicer::checkModel(QString &error) const
{
    const QString where = QStringLiteral("bool Slicer::engage(QString &)");
    if (!m_reader) {
        error += where % QStringLiteral(" ERROR: no model file to slice.");
        return false;
    }
    if (!QFileInfo::exists(m_fileName)) {
        error += where % QStringLiteral(" ERROR: the model file does not exist: ") % m_fileName;
        return false;
    }
    if (!m_reader->isValid()) {
        error += where % QStringLiteral(" ERROR: the model file cannot be read: ") % m_fileName;
        return false;
    }
    if (m_reader->facets().isEmpty()) {
        error += where % QStringLiteral(" ERROR: the model file holds no facets: ") % m_fileName;
        return false;
    }
    if (!(m_layerThickness > 0)) {
        error += where % QStringLiteral(" ERROR: the layer thickness must be positive.");
        return false;
    }
    // A plane count beyond an int would overflow the layer numbers, and z would stop growing.
    const double planes =
            (double(m_reader->getZMax()) - double(m_reader->getZMin())) / m_layerThickness;
    if (!(planes < double(INT_MAX))) {
        error += where % QStringLiteral(" ERROR: the model is too tall for this layer thickness: ")
                % m_fileName;
        return false;
    }
    return true;
}

bool Slicer::slice(QString &error)
{
    error.clear();
    m_planeCounter = 0;
    if (m_progress)
        m_progress->start();
    const bool planesWritten = cutPlanes(error);
    if (m_progress)
        m_progress->finish();

    if (!planesWritten || !svgCloseOutputFile(error) || !writeVekFile(error)) {
        abandonRun();
        return false;
    }
    turnOffSlicing();
    return true;
}

bool Slicer::cutPlanes(QString &error)
{
    const float zmin = m_reader->getZMin();
    const float zmax = m_reader->getZMax();
    const int planes = qMax(1, int(std::floor((zmax - zmin) / m_layerThickness)));

    // The planes are cut on worker threads and written here in order; the sweep hands each plane
    // only the facets that cross it.
    const int workers = qMax(1, QThread::idealThreadCount());
    FacetSweep sweep(m_reader->facets());
    LayerPipeline pipeline(layerFormatter(), workers);
    // z grows by repeated addition: the sums decide whether a plane at the very top is cut.
    for (double z = zmin + m_layerThickness; z <= zmax; z += m_layerThickness) {
        QCoreApplication::processEvents();
        if (m_progress) {
            m_progress->setValue(int(qint64(m_planeCounter) * 100 / planes));
            if (m_progress->wasCanceled()) {
                error += QStringLiteral(
                        "The user decided to prematurely interrupt the slicing process.");
                return false;
            }
        }
        pipeline.submit(m_planeCounter + 1, z, sweep.crossing(z));
        ++m_planeCounter;
        if (!writeFinishedLayers(pipeline, workers * LAYERS_IN_FLIGHT_PER_WORKER, error))
            return false;
    }
    return writeFinishedLayers(pipeline, 0, error);
}

bool Slicer::writeFinishedLayers(LayerPipeline &pipeline, int keepInFlight, QString &error)
{
    LayerText layer;
    while (pipeline.inFlight() > keepInFlight || pipeline.facetsInFlight() > FACETS_IN_FLIGHT
           || (pipeline.inFlight() > 0 && pipeline.nextIsReady())) {
        pipeline.takeNext(layer);
        m_printPending += layer.print;
        m_previewPending += layer.preview;
        if (!writePendingText(error))
            return false;
    }
    return true;
}

QString Slicer::prepareOutputFilePath(QString &error)
{
    error.clear();
    const QString folderName = QStringLiteral("%1_Z%2").arg(
            baseName(), QStringLiteral("%1").arg(microns(), 3, 10, QLatin1Char('0')));
    QString path = toUnixFormat(SLICER_WORKING_DIR + folderName);
    if (QFileInfo::exists(path))
        getAvailableSubPath(path);
    if (!QDir().mkpath(path)) {
        error += QStringLiteral("QString Slicer::prepareOutputFilePath(QString &)")
                % QStringLiteral(" ERROR while creating the SlicedModels subfolder.\n")
                % QStringLiteral("Check permissions of ") % path % QStringLiteral("\n");
        return QString();
    }
    m_outputFolder = path + DIR_SEP;
    return m_outputFolder + baseName() + QStringLiteral(".svg");
}

void Slicer::getAvailableSubPath(QString &path)
{
    int counter = 1;
    QString candidate = path;
    while (QFileInfo::exists(candidate)) {
        candidate = path + QStringLiteral("_%1").arg(counter, 3, 10, QLatin1Char('0'));
        ++counter;
    }
    path = candidate;
}

bool Slicer::svgOpenOutputFile(QString &error)
{
    error.clear();
    const QString printPath = prepareOutputFilePath(error);
    if (!error.isEmpty()) {
        error += QStringLiteral("bool Slicer::svgOpenOutputFile(QString &)")
                % QStringLiteral(" ERROR: check the folders' permissions.");
        turnOffSlicing();
        return false;
    }

    QString previewPath = printPath;
    previewPath.replace(QStringLiteral(".svg"), QStringLiteral("_preview.svg"));
    m_printFile.setFileName(printPath);
    m_previewFile.setFileName(previewPath);
    if (m_printFile.open(DOCUMENT_OPEN_MODE) && m_previewFile.open(DOCUMENT_OPEN_MODE)) {
        svgWriteHeader();
        if (writePendingText(error))
            return true;
    } else {
        const QFile &failed = m_printFile.isOpen() ? m_previewFile : m_printFile;
        error += QStringLiteral("bool Slicer::svgOpenOutputFile(QString &)")
                % QStringLiteral(" ERROR: while opening output file the following error occoured: ")
                % failed.errorString();
    }
    m_printFile.close();
    m_previewFile.close();
    turnOffSlicing();
    return false;
}

void Slicer::svgWriteHeader()
{
    const QByteArray header = streamed([this](QTextStream &stream) {
        stream << "<svg version=\"1.1\"\n"
               << "\theight=\"" << modelLength() << "\""
               << "\twidth=\"" << modelWidth() << "\"\n"
               << "\tviewBox=\"" << m_reader->getXMin() << " " << m_reader->getYMin() << " "
               << modelLength() << " " << modelWidth() << "\"\n"
               << "\txmlns:ev=\"http://www.w3.org/2001/xml-events\"\n"
               << "\txmlns:xlink=\"http://www.w3.org/1999/xlink\"\n"
               << "\txmlns=\"http://www.w3.org/2000/svg\"\n"
               << ">\n";
    });
    m_printPending += header;
    m_previewPending += header;
}

bool Slicer::svgCloseOutputFile(QString &error)
{
    const char *const end = "</g>\n</svg>\n";
    m_printPending += "<g id=\"base\">\n" + footprint("fill: white;") + end;
    m_previewPending += "<g id=\"base\">\n" + footprint("fill: red;") + end;

    const bool written = writePendingText(error);
    m_printFile.close();
    m_previewFile.close();
    for (const QFile *file : {&m_printFile, &m_previewFile}) {
        if (written && file->error() != QFileDevice::NoError) {
            error += QStringLiteral("bool Slicer::svgCloseOutputFile(QString &)")
                    % QStringLiteral(" ERROR: while closing ") % file->fileName()
                    % QStringLiteral(" the following error occurred: ") % file->errorString();
            return false;
        }
    }
    return written;
}

bool Slicer::writePendingText(QString &error)
{
    auto writeOut = [&error](QByteArray &pending, QFile &file) {
        const QByteArray bytes = pending;
        pending.clear();
        // A short write says nothing; writing the rest gives the reason (disk full, ...).
        qint64 written = 0;
        while (written < bytes.size()) {
            const qint64 chunk = file.write(bytes.constData() + written, bytes.size() - written);
            if (chunk <= 0)
                break;
            written += chunk;
        }
        if (written == bytes.size())
            return true;
        error += QStringLiteral("bool Slicer::writePendingText(QString &)")
                % QStringLiteral(" ERROR: while writing ") % file.fileName()
                % QStringLiteral(" the following error occurred: ") % file.errorString();
        return false;
    };
    return writeOut(m_printPending, m_printFile) && writeOut(m_previewPending, m_previewFile);
}

void Slicer::removeStoredResources()
{
    m_printFile.close();
    m_previewFile.close();
    m_printPending.clear();
    m_previewPending.clear();
    // An empty folder would name the working directory.
    if (!m_outputFolder.isEmpty())
        QDir(m_outputFolder).removeRecursively();
}

void Slicer::abandonRun()
{
    removeStoredResources();
    turnOffSlicing();
}

QByteArray Slicer::footprint(const char *style) const
{
    return streamed([this, style](QTextStream &stream) {
        stream << "<rect x=\"" << m_reader->getXMin() << "\" y=\"" << m_reader->getYMin()
               << "\" width=\"" << modelLength() << "\" height=\"" << modelWidth() << "\" style=\""
               << style << "\" />\n";
    });
}

LayerFormatter Slicer::layerFormatter() const
{
    return LayerFormatter(footprint("fill:black"), m_isHollow);
}

void Slicer::slicePlane(double z)
{
    LayerText layer;
    layerFormatter().format(m_planeCounter + 1, z, PlaneSectioner().section(z, m_reader->facets()),
                            layer);
    m_printPending += layer.print;
    m_previewPending += layer.preview;
}

bool Slicer::writeVekFile(QString &error)
{
    const QString folder = toUnixFormat(QFileInfo(m_printFile.fileName()).absolutePath());
    const QString jobPath = folder + DIR_SEP + baseName() + VEK_FILE_SUFFIX;

    VekJob job;
    job.path = toUnixFormat(QFileInfo(jobPath).absolutePath());
    job.baseName = baseName();
    job.lastFrame = m_planeCounter;
    job.zCut = microns();
    job.type = 1;
    QString reason;
    if (!writeVekJob(jobPath, job, reason)) {
        error += QStringLiteral("bool Slicer::writeVekFile(QString &)")
                % QStringLiteral(" ERROR: the job file could not be written: ") % reason;
        return false;
    }
    emit sgnNotifyVekCreation(jobPath);
    return true;
}

void Slicer::writeThumbnail(QImage image)
{
    if (m_outputFolder.isEmpty())
        return;
    const QString path =
            QStringLiteral("%1%2%3").arg(m_outputFolder, baseName(), QStringLiteral(".png"));
    // A pixmap needs the GUI application object; without it the image is saved as it is.
    if (hasGuiApplication())
        QPixmap::fromImage(image).save(path);
    else
        image.save(path);
}

QString Slicer::baseName() const
{
    return QFileInfo(m_fileName).baseName();
}

int Slicer::microns() const
{
    return qRound(m_layerThickness * 1000);
}

float Slicer::modelLength() const
{
    return std::abs(m_reader->getXMax() - m_reader->getXMin());
}

float Slicer::modelWidth() const
{
    return std::abs(m_reader->getYMax() - m_reader->getYMin());
}

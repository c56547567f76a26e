#include "slicing/slicer.h"

#include <climits>
#include <cmath>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>
#include <QTextStream>
#include <QThread>

#include "base/constants.h"
#include "base/formatting.h"
#include "job/vekformat.h"
#include "slicing/facetsweep.h"
#include "slicing/layerpipeline.h"
#include "slicing/layertext.h"
#include "slicing/planesection.h"
#include "slicing/slicingprogress.h"

namespace {

const QIODevice::OpenMode DOCUMENT_OPEN_MODE =
        QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate | QIODevice::Unbuffered;

// Layers cut ahead of the one being written, per worker thread: enough to keep the workers busy
// while a layer is written, few enough that memory does not grow with the model's height.
const int LAYERS_IN_FLIGHT_PER_WORKER = 4;
// Each layer in flight carries copies of the facets that cross its plane; on a model whose planes
// cross a great many facets, fewer layers are let in flight (2 million facets are about 100 MB).
const size_t FACETS_IN_FLIGHT = 2000000;
// The fixed text of a layer group around its id, its height and its background rectangle.
const char LAYER_OPENING[] = "<g id=\"\" plane=\"\">\n";
const char LAYER_END[] = "</g>\n";

// Sizes as people read them, in the language in force.
QString sizeText(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

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

Slicer::~Slicer() = default;

bool Slicer::engage(const SliceRequest &request, QString &error)
{
    m_request = request;
    m_outputFolder.clear();
    m_planeCounter = 0;
    m_isSlicing = true;
    error.clear();
    m_reader = std::make_unique<STLReader>(m_request.modelFile);
    if (!checkModel(error) || !checkOutputSpace(error)) {
        endRun();
        return false;
    }

    QString openError;
    if (!svgOpenOutputFile(openError)) {
        error += openError;
        removeStoredResources();
        endRun();
        return false;
    }
    writeThumbnail();
    const bool sliced = slice(error);
    endRun();
    return sliced;
}

void Slicer::endRun()
{
    m_reader.reset();
    m_isSlicing = false;
}

bool Slicer::checkModel(QString &error) const
{
    const QString where = QStringLiteral("bool Slicer::engage(const SliceRequest &, QString &)");
    const QString &file = m_request.modelFile;
    if (file.isEmpty()) {
        error += where % QStringLiteral(" ERROR: no model file to slice.");
        return false;
    }
    if (!QFileInfo::exists(file)) {
        error += where % QStringLiteral(" ERROR: the model file does not exist: ") % file;
        return false;
    }
    if (!m_reader->isValid()) {
        error += where % QStringLiteral(" ERROR: the model file cannot be read: ") % file
                % QStringLiteral("\n") % m_reader->errorString();
        return false;
    }
    if (m_reader->facets().isEmpty()) {
        error += where % QStringLiteral(" ERROR: the model file holds no facets: ") % file;
        return false;
    }
    if (m_request.microns <= 0) {
        error += where % QStringLiteral(" ERROR: the layer thickness must be positive.");
        return false;
    }
    // A plane count beyond an int would overflow the layer numbers, and z would stop growing.
    if (!(planeCount() < double(INT_MAX))) {
        error += where % QStringLiteral(" ERROR: the model is too tall for this layer thickness: ")
                % file;
        return false;
    }
    return true;
}

double Slicer::planeCount() const
{
    return (double(m_reader->getZMax()) - double(m_reader->getZMin())) / layerThickness();
}

qint64 Slicer::estimatedOutputSize() const
{
    // Each document holds the header, the base group and, for every layer, its opening (a height
    // is one character at least), the background rectangle and the group end; the outlines are
    // left out, since a plane may cut nothing. So the estimate never exceeds what is written.
    const qint64 layers = qint64(std::floor(planeCount()));
    const qint64 layerText = qint64(sizeof(LAYER_OPENING) - 1 + 1 + sizeof(LAYER_END) - 1)
            + footprint("fill:black").size();
    qint64 idDigits = 0;
    for (qint64 first = 1, digits = 1; first <= layers; first *= 10, ++digits)
        idDigits += (qMin(layers, first * 10 - 1) - first + 1) * digits;
    const qint64 ends = 2 * svgHeader().size() + baseGroup("fill: white;").size()
            + baseGroup("fill: red;").size();
    return ends + 2 * (layers * layerText + idDigits);
}

bool Slicer::checkOutputSpace(QString &error) const
{
    // The run folder's parents are made with it: the disk is that of the nearest one there is.
    QFileInfo folder(QDir(m_request.outputRoot).absolutePath());
    while (!folder.exists() && !folder.isRoot())
        folder.setFile(folder.absolutePath());
    const QStorageInfo disk(folder.absoluteFilePath());
    // Where the free space cannot be known, writing gives the reason of a failure.
    if (!disk.isValid() || !disk.isReady())
        return true;
    const qint64 needed = estimatedOutputSize();
    const qint64 available = disk.bytesAvailable();
    if (needed <= available)
        return true;
    error += QStringLiteral("bool Slicer::engage(const SliceRequest &, QString &) ERROR: ")
            % QStringLiteral("the layers do not fit on the disk: %1 layers need %2 or more, and ")
                      .arg(qint64(std::floor(planeCount())))
                      .arg(sizeText(needed))
            % QStringLiteral("%1 has %2 free.").arg(m_request.outputRoot, sizeText(available));
    return false;
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
        removeStoredResources();
        return false;
    }
    return true;
}

bool Slicer::cutPlanes(QString &error)
{
    const float zmin = m_reader->getZMin();
    const float zmax = m_reader->getZMax();
    const double thickness = layerThickness();
    const int planes = qMax(1, int(std::floor(planeCount())));

    // The planes are cut on worker threads and written here in order; the sweep hands each plane
    // only the facets that cross it.
    const int workers = qMax(1, QThread::idealThreadCount());
    FacetSweep sweep(m_reader->facets());
    LayerPipeline pipeline(layerFormatter(), workers);
    // z grows by repeated addition: the sums decide whether a plane at the very top is cut.
    for (double z = zmin + thickness; z <= zmax && m_planeCounter < INT_MAX; z += thickness) {
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
            baseName(), QStringLiteral("%1").arg(m_request.microns, 3, 10, QLatin1Char('0')));
    const QString wanted = toUnixFormat(QDir(m_request.outputRoot).filePath(folderName));
    // Earlier runs of the same model keep their folders: the new one takes the first free suffix.
    QString path = wanted;
    for (int counter = 1; QFileInfo::exists(path); ++counter)
        path = wanted + QStringLiteral("_%1").arg(counter, 3, 10, QLatin1Char('0'));
    if (!QDir().mkpath(path)) {
        error += QStringLiteral("QString Slicer::prepareOutputFilePath(QString &)")
                % QStringLiteral(" ERROR while creating the SlicedModels subfolder.\n")
                % QStringLiteral("Check permissions of ") % path % QStringLiteral("\n");
        return QString();
    }
    m_outputFolder = path + DIR_SEP;
    return m_outputFolder + baseName() + QStringLiteral(".svg");
}

bool Slicer::svgOpenOutputFile(QString &error)
{
    error.clear();
    const QString printPath = prepareOutputFilePath(error);
    if (!error.isEmpty()) {
        error += QStringLiteral("bool Slicer::svgOpenOutputFile(QString &)")
                % QStringLiteral(" ERROR: check the folders' permissions.");
        return false;
    }

    // Beside the print document, whatever the folders above it are called.
    const QString previewPath = m_outputFolder + baseName() + QStringLiteral("_preview.svg");
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
    return false;
}

void Slicer::svgWriteHeader()
{
    const QByteArray header = svgHeader();
    m_printPending += header;
    m_previewPending += header;
}

QByteArray Slicer::svgHeader() const
{
    return streamed([this](QTextStream &stream) {
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
}

bool Slicer::svgCloseOutputFile(QString &error)
{
    m_printPending += baseGroup("fill: white;");
    m_previewPending += baseGroup("fill: red;");

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

QByteArray Slicer::footprint(const char *style) const
{
    return streamed([this, style](QTextStream &stream) {
        stream << "<rect x=\"" << m_reader->getXMin() << "\" y=\"" << m_reader->getYMin()
               << "\" width=\"" << modelLength() << "\" height=\"" << modelWidth() << "\" style=\""
               << style << "\" />\n";
    });
}

QByteArray Slicer::baseGroup(const char *style) const
{
    return "<g id=\"base\">\n" + footprint(style) + "</g>\n</svg>\n";
}

LayerFormatter Slicer::layerFormatter() const
{
    return LayerFormatter(footprint("fill:black"), m_request.hollow);
}

bool Slicer::writeVekFile(QString &error)
{
    const QString folder = toUnixFormat(QFileInfo(m_printFile.fileName()).absolutePath());
    const QString jobPath = folder + DIR_SEP + baseName() + VEK_FILE_SUFFIX;

    VekJob job;
    job.path = toUnixFormat(QFileInfo(jobPath).absolutePath());
    job.baseName = baseName();
    job.lastFrame = m_planeCounter;
    job.zCut = m_request.microns;
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

void Slicer::writeThumbnail()
{
    if (m_request.thumbnail.isNull())
        return;
    m_request.thumbnail.save(
            QStringLiteral("%1%2%3").arg(m_outputFolder, baseName(), QStringLiteral(".png")));
}

QString Slicer::baseName() const
{
    return QFileInfo(m_request.modelFile).baseName();
}

float Slicer::modelLength() const
{
    return std::abs(m_reader->getXMax() - m_reader->getXMin());
}

float Slicer::modelWidth() const
{
    return std::abs(m_reader->getYMax() - m_reader->getYMin());
}

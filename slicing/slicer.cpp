#include "slicing/slicer.h"

#include <climits>
#include <cmath>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>

#include "app/constants.h"
#include "job/vekformat.h"
#include "slicing/planesection.h"
#include "slicing/slicingprogress.h"

namespace {

const QIODevice::OpenMode DOCUMENT_OPEN_MODE =
        QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate | QIODevice::Unbuffered;

bool hasGuiApplication()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

QString svgPoints(const QPolygonF &outline)
{
    QString points;
    for (const QPointF &point : outline) {
        points += QString::number(point.x(), 'f', 6) % QLatin1Char(',')
                % QString::number(point.y(), 'f', 6) % QLatin1Char(' ');
    }
    return points;
}

} // namespace

Slicer::Slicer(QObject *parent)
    : QObject(parent)
{
    m_printStream.setString(&m_printText, QIODevice::WriteOnly);
    m_previewStream.setString(&m_previewText, QIODevice::WriteOnly);
}

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
        slicePlane(z);
        ++m_planeCounter;
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
    for (QTextStream *stream : {&m_printStream, &m_previewStream}) {
        *stream << "<svg version=\"1.1\"\n"
                << "\theight=\"" << modelLength() << "\""
                << "\twidth=\"" << modelWidth() << "\"\n"
                << "\tviewBox=\"" << m_reader->getXMin() << " " << m_reader->getYMin() << " "
                << modelLength() << " " << modelWidth() << "\"\n"
                << "\txmlns:ev=\"http://www.w3.org/2001/xml-events\"\n"
                << "\txmlns:xlink=\"http://www.w3.org/1999/xlink\"\n"
                << "\txmlns=\"http://www.w3.org/2000/svg\"\n"
                << ">\n";
    }
}

bool Slicer::svgCloseOutputFile(QString &error)
{
    m_printStream << "<g id=\"base\">\n";
    writeFootprint(m_printStream, "fill: white;");
    m_printStream << "</g>\n"
                  << "</svg>\n";
    m_previewStream << "<g id=\"base\">\n";
    writeFootprint(m_previewStream, "fill: red;");
    m_previewStream << "</g>\n"
                    << "</svg>\n";

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
    m_printStream.flush();
    m_previewStream.flush();
    auto writeOut = [&error](QString &text, QFile &file) {
        const QByteArray bytes = text.toUtf8();
        text.clear();
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
    return writeOut(m_printText, m_printFile) && writeOut(m_previewText, m_previewFile);
}

void Slicer::removeStoredResources()
{
    m_printFile.close();
    m_previewFile.close();
    m_printText.clear();
    m_previewText.clear();
    // An empty folder would name the working directory.
    if (!m_outputFolder.isEmpty())
        QDir(m_outputFolder).removeRecursively();
}

void Slicer::abandonRun()
{
    removeStoredResources();
    turnOffSlicing();
}

void Slicer::writeFootprint(QTextStream &stream, const char *style)
{
    stream << "<rect x=\"" << m_reader->getXMin() << "\" y=\"" << m_reader->getYMin()
           << "\" width=\"" << modelLength() << "\" height=\"" << modelWidth() << "\" style=\""
           << style << "\" />\n";
}

void Slicer::slicePlane(double z)
{
    for (QTextStream *stream : {&m_printStream, &m_previewStream}) {
        *stream << "<g id=\"" << m_planeCounter + 1 << "\" plane=\"" << z << "\">\n";
        writeFootprint(*stream, "fill:black");
    }

    const PlaneSection::Layer layer = PlaneSection::sectionAt(m_reader->facets(), z);
    for (int i = 0; i < layer.outlines.size(); ++i)
        writeOutline(layer.outlines.at(i), layer.holes.at(i));

    m_printStream << "</g>\n";
    m_previewStream << "</g>\n";
}

void Slicer::writeOutline(const QPolygonF &outline, bool isHole)
{
    const QString points = svgPoints(outline);
    const char *const transform = ";\" transform=\"scale(-1, 1)\" />\n";
    m_printStream << "<polygon points=\"" << points
                  << "\" style=\"fill:" << (isHole ? "black" : "white") << transform;
    m_previewStream << "<polygon points=\"" << points
                    << "\" style=\"fill:" << (isHole ? "black" : "red") << transform;
    if (!m_isHollow || isHole)
        return;

    for (const QPolygonF &inset : PlaneSection::hollowInsets(outline)) {
        const QString element =
                QStringLiteral("<polygon points=\"") % svgPoints(inset)
                % QStringLiteral(
                        "\" style=\"stroke-width:0.5; fill:black\" transform=\"scale(-1, 1)\"  />");
        m_printStream << element;
        m_previewStream << element;
    }
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

#pragma once

#include <memory>

#include <QFile>
#include <QImage>
#include <QObject>
#include <QString>

#include "model/stlreader.h"

class LayerFormatter;
class LayerPipeline;
class SlicingProgress;

// What one slicing run needs.
struct SliceRequest
{
    QString modelFile;
    int microns = 100; // layer thickness
    bool hollow = false;
    // The folder that receives the run folder, ending with "/".
    QString outputRoot;
    // Saved into the run folder as the job's picture when there is one (the 3D view).
    QImage thumbnail;
};

// Slicing runs of STL files: each opens a fresh run folder with the print and preview SVG
// documents, cuts the model, read afresh from its file, plane after plane one layer thickness
// apart into layer groups of both documents, and ends with the job file.
class Slicer : public QObject
{
    Q_OBJECT

public:
    explicit Slicer(QObject *parent = nullptr);
    ~Slicer() override;

    // Receives progress and cancel requests of the plane loop; not owned, may be null.
    void setProgress(SlicingProgress *progress) { m_progress = progress; }

    bool isSlicing() const { return m_isSlicing; }
    // Of the last run: planes written and the run folder (ending with "/").
    int getPlaneCounter() const { return m_planeCounter; }
    QString getOutputFolder() const { return m_outputFolder; }

    // The whole run. On failure nothing of the run is left behind.
    bool engage(const SliceRequest &request, QString &error);

signals:
    void sgnNotifyVekCreation(QString locationPath);

private:
    bool checkModel(QString &error) const;
    // Refuses a run whose documents cannot fit in the free space of the output folder's disk.
    bool checkOutputSpace(QString &error) const;
    // A lower bound of the bytes the run writes: what every layer holds even when it cuts nothing.
    qint64 estimatedOutputSize() const;
    // The planes the run cuts, from the model's height in double precision.
    double planeCount() const;
    bool svgOpenOutputFile(QString &error);
    QString prepareOutputFilePath(QString &error);
    void svgWriteHeader();
    QByteArray svgHeader() const;
    void writeThumbnail();
    // The plane loop, once the output is open; ends by closing the documents and writing the job
    // file.
    bool slice(QString &error);
    bool cutPlanes(QString &error);
    bool writeFinishedLayers(LayerPipeline &pipeline, int keepInFlight, QString &error);
    bool writePendingText(QString &error);
    bool svgCloseOutputFile(QString &error);
    bool writeVekFile(QString &error);
    void removeStoredResources();
    void endRun();
    QByteArray footprint(const char *style) const;
    // The base group and the document end.
    QByteArray baseGroup(const char *style) const;
    LayerFormatter layerFormatter() const;
    QString baseName() const;
    double layerThickness() const { return m_request.microns / 1000.0; }
    float modelLength() const;
    float modelWidth() const;

    SliceRequest m_request;
    QString m_outputFolder;
    int m_planeCounter = 0;
    bool m_isSlicing = false;
    QFile m_printFile;
    QFile m_previewFile;
    // The document text waiting to be written; it goes to the files after every layer, so that a
    // short write is seen (a stream on the file itself would drop it silently).
    QByteArray m_printPending;
    QByteArray m_previewPending;
    // The model of the run under way; freed when the run ends.
    std::unique_ptr<STLReader> m_reader;
    SlicingProgress *m_progress = nullptr;
};

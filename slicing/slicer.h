#pragma once

#include <memory>

#include <QCursor>
#include <QFile>
#include <QImage>
#include <QObject>
#include <QString>

#include "model/stlreader.h"
#include "slicing/slicesegment.h"

class LayerFormatter;
class LayerPipeline;
class SlicingProgress;

// One slicing run of one STL file: opens a fresh run folder with the print and preview SVG
// documents, cuts the model plane after plane one layer thickness apart into layer groups of
// both documents, and ends with the job file. A new slicer is made for every run.
class Slicer : public QObject
{
    Q_OBJECT

public:
    using Segment = SliceSegment;

    explicit Slicer(QObject *parent);
    Slicer(QObject *parent, const QString &file);
    Slicer(QObject *parent, const QString &file, int zCut, float lineWidth, bool isHollow);
    ~Slicer() override;

    // Sets up the slicer for `file` (zCut in microns) and reads the model; nothing for an empty
    // file name.
    void initMembers(const QString &file, int zCut, float lineWidth, bool isHollow);

    void setFileName(const QString &file);
    void setZCut(int zCut);
    void setLineWidth(float lineWidth) { m_lineWidth = lineWidth; }
    void setIsHollow(bool isHollow) { m_isHollow = isHollow; }
    // Receives progress and cancel requests of the plane loop; not owned, may be null.
    void setProgress(SlicingProgress *progress) { m_progress = progress; }

    QString getFileName() const { return m_fileName; }
    double getLayerThickness() const { return m_layerThickness; }
    float getLineWidth() const { return m_lineWidth; }
    bool getIsHollow() const { return m_isHollow; }
    int getPlaneCounter() const { return m_planeCounter; }
    bool isSlicing() const { return m_isSlicing; }
    QString getOutputFolder() const { return m_outputFolder; }

    void changeCursorStatus(bool busy);
    void turnOnSlicing();
    void turnOffSlicing();

    // The whole run: opens the output, asks for the thumbnail, slices. On failure nothing of the
    // run is left behind except after a failed opening (see svgOpenOutputFile).
    bool engage(QString &error);
    // The plane loop, once the output is open; ends by closing the documents and writing the job
    // file.
    bool slice(QString &error);

    QString prepareOutputFilePath(QString &error);
    static void getAvailableSubPath(QString &path);
    bool svgOpenOutputFile(QString &error);
    void svgWriteHeader();
    bool svgCloseOutputFile(QString &error);
    void removeStoredResources();
    void slicePlane(double z);
    bool writeVekFile(QString &error);

signals:
    void sgnAskForScreenShot();
    void sgnNotifyVekCreation(QString locationPath);

public slots:
    void writeThumbnail(QImage image);

private:
    bool checkModel(QString &error) const;
    bool cutPlanes(QString &error);
    bool writeFinishedLayers(LayerPipeline &pipeline, int keepInFlight, QString &error);
    bool writePendingText(QString &error);
    void abandonRun();
    QByteArray footprint(const char *style) const;
    LayerFormatter layerFormatter() const;
    QString baseName() const;
    int microns() const;
    float modelLength() const;
    float modelWidth() const;

    QString m_outputFolder;
    QString m_fileName;
    double m_layerThickness = 0.1;
    float m_lineWidth = 0;
    bool m_isHollow = false;
    int m_planeCounter = 0;
    bool m_isSlicing = false;
    QFile m_printFile;
    QFile m_previewFile;
    // The document text waiting to be written; it goes to the files after every layer, so that a
    // short write is seen (a stream on the file itself would drop it silently).
    QByteArray m_printPending;
    QByteArray m_previewPending;
    std::unique_ptr<STLReader> m_reader;
    QCursor m_cursor;
    bool m_cursorOverridden = false;
    SlicingProgress *m_progress = nullptr;
};

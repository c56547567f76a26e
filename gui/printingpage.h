#pragma once

#include <memory>

#include <QWidget>

#include "job/layerdocument.h"
#include "job/vekformat.h"

class Dialogs;
class QGraphicsScene;
class QGraphicsSvgItem;
class QLayout;

namespace Ui {
class PrintingPage;
}

// Page 2: the job to print with its layer preview, the curing times and the print controls.
class PrintingPage : public QWidget
{
    Q_OBJECT

public:
    // The dialogs belong to the main window, which outlives the page.
    explicit PrintingPage(Dialogs &dialogs, QWidget *parent = nullptr);
    ~PrintingPage() override;

    // The job loaded last (also after a failed load, with the values that were read or the
    // defaults); VekJob::undefined() until the first load.
    const VekJob &job() const { return m_job; }

    void setJobGroupEnabled(bool enabled);
    // The layer curing time and the base option, saved when the application quits.
    int curingTimeMs() const;
    bool addsBase() const;
    void setAddsBase(bool on);
    // Enables the progress rows and the buttons of a running print, and Start Printing and Test
    // Layers when it is off.
    void togglePrintingControls(bool on);
    // Enables or disables every widget of the layout and of the layouts nested in it.
    static void toggleEnableWidgetChildOfLayout(QLayout *layout, bool on);

public slots:
    // Loads the job file at `path`, completing or converting it on disk when it needs to, and
    // shows the job: its name, thickness, height, layer count, thumbnail and layer preview.
    void setVekFilePath(const QString &path);
    // Shows layer `value` of the job in the preview; connected to the preview slider.
    void on_sltChangePreviewFrame(int value);

signals:
    void sgnBackToCalibration();
    void sgnJobGroupClicked(bool checked);
    // A note for the window's status bar, shown for `ms` milliseconds.
    void sgnStatusNote(const QString &text, int ms);
    // The print settings changed; `reload` when a job was loaded, whose document is to be read.
    void updatePrintModel(bool reload);

private slots:
    void on_btnBackToCalibration_clicked();
    void on_btnLoadVek_clicked();
    void on_grpBoxVek_clicked(bool checked);

private:
    void setupFramesTimeTable();
    // Reads the job file into the job, rewriting it when repaired or converted; false with
    // `error` (possibly empty) when the job cannot be printed.
    bool readJob(const QString &path, QString &error);
    void showJob();
    void showThumbnail();
    void showPreview();

    std::unique_ptr<Ui::PrintingPage> ui;
    Dialogs &dialogs;
    VekJob m_job = VekJob::undefined();
    std::unique_ptr<QGraphicsScene> m_thumbnailScene;
    // Owns the preview item and its renderer: a new job frees them together.
    std::unique_ptr<QGraphicsScene> m_previewScene;
    QGraphicsSvgItem *m_previewItem = nullptr;
    LayerDocument m_previewLayers;
};

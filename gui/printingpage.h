#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QMap>
#include <QWidget>

#include "job/layerdocument.h"
#include "job/vekformat.h"
#include "printing/printrun.h"

class Dialogs;
class Printer;
class QGraphicsScene;
class QGraphicsSvgItem;
class QLayout;
class SettingsStore;
class SoundPlayer;

namespace Ui {
class PrintingPage;
}

// What the printing page asks of the rest of the window when a print starts.
struct PrintSurroundings
{
    // The connected printer, or null.
    std::function<Printer *()> printer;
    // Whether the projector window has been placed on its screen.
    std::function<bool()> projectorPlaced;
    // The projector and resin chosen and the measures of the model on the plate, for the log.
    std::function<PrintLogContext()> logContext;
};

// Page 2: the job to print with its layer preview, the curing times and the print controls.
class PrintingPage : public QWidget
{
    Q_OBJECT

public:
    // What the page is given belongs to the main window, which outlives the page.
    PrintingPage(Dialogs &dialogs, SoundPlayer &soundPlayer, SettingsStore &settings,
                 PrintRun &printRun, PrintSurroundings surroundings, QWidget *parent = nullptr);
    ~PrintingPage() override;

    // The job loaded last (also after a failed load, with the values that were read or the
    // defaults); VekJob::undefined() until the first load.
    const VekJob &job() const { return m_job; }

    void setJobGroupEnabled(bool enabled);
    // The layer curing time and the base option, saved when the application quits.
    int curingTimeMs() const;
    bool addsBase() const;
    void setAddsBase(bool on);
    // The explanatory tooltips, in the language in force, or none.
    void setToolTipsShown(bool shown);
    // Enables the progress rows and the buttons of a running print, and Start Printing and Test
    // Layers when it is off.
    void togglePrintingControls(bool on);
    // Enables or disables every widget of the layout and of the layouts nested in it.
    static void toggleEnableWidgetChildOfLayout(QLayout *layout, bool on);

public slots:
    // Loads the job file at `path`, completing or converting it on disk when it needs to, and
    // shows the job: its name, thickness, height, layer count, thumbnail and layer preview.
    // Refused while a print runs.
    void setVekFilePath(const QString &path);
    // Shows layer `value` of the job in the preview; connected to the preview slider.
    void on_sltChangePreviewFrame(int value);
    // Sets the print model up from the job and the controls and shows the estimate; while a
    // print runs only the table is checked (its times apply at the next resume).
    void on_updatePrintModel(bool reload);
    // The projector has been placed on its screen: the print settings are usable, unless a print
    // runs (it keeps them locked until it ends).
    void on_sltProjectorPlaced();

signals:
    void sgnBackToCalibration();
    void sgnJobGroupClicked(bool checked);
    // A note for the window's status bar, shown for `ms` milliseconds.
    void sgnStatusNote(const QString &text, int ms);
    void updatePrintModel(bool reload);
    // A print is about to start, and a print has ended (finished or aborted).
    void sgnPrintStarting();
    void sgnPrintEnded();
    // The layer test takes the projector over.
    void sgnLayerTestStarting();

private slots:
    void on_btnBackToCalibration_clicked();
    void on_btnLoadVek_clicked();
    void on_grpBoxVek_clicked(bool checked);
    void on_btnStartPrinting_clicked();
    void on_btnTestLayers_clicked();
    void on_btnPause_clicked();
    void on_btnCheck_clicked();
    void on_btnAbort_clicked();
    void on_btnAdvancedSettings_clicked();
    void on_btnAddRowTableFrameTime_clicked();
    void on_btnResetTableFrameTime_clicked();
    void on_btn3xCuringTime_clicked();
    void on_framesTimeTable_cellChanged(int row, int column);
    void on_checkBoxAddBase_clicked();
    void on_checkBoxSuGiu_clicked();
    void on_spinFramesDelay_valueChanged(int value);
    void on_spinBaseWaitTime_valueChanged(int value);
    void on_spinPreMovement_valueChanged(int value);
    void on_spinPostMovement_valueChanged(int value);
    void on_spinFramesDelay_editingFinished();
    void on_spinBaseWaitTime_editingFinished();
    void on_spinPreMovement_editingFinished();
    void on_spinPostMovement_editingFinished();

protected:
    void changeEvent(QEvent *event) override;

private:
    void setupFramesTimeTable();
    void setTableHeaders();
    // Reads the job file into the job, rewriting it when repaired or converted (a rewrite that
    // fails is reported and keeps the job); false with `error` (possibly empty) when the job
    // cannot be printed.
    bool readJob(const QString &path, QString &error);
    void showJob();
    void showThumbnail();
    void showPreview();

    // The curing-time table's times by frame; nothing (and a warning) when it is inconsistent.
    std::optional<QMap<int, int>> readFramesTimeTable();
    PrintOptions printOptions(const QMap<int, int> &curingTimes) const;
    void refuse(const QString &why);
    // Says so in the status bar when a changed time could not be saved as the next default.
    void noteUnsaved(bool saved);
    // Flashes the job's layers on the projector from its red preview document, made first when
    // missing; false with `error` when the preview cannot be made or read.
    bool flashLayers(QString &error);
    void setPaused(bool paused);
    void onStage(int stage);
    void onProgress(int currentFrame, int totalFrames, int remainingMs);
    void onFinished(qint64 durationMs);
    void onAborted(const QString &reason);
    // Back to the controls of no print, after a finished or aborted one.
    void restoreIdleControls();

    std::unique_ptr<Ui::PrintingPage> ui;
    Dialogs &dialogs;
    SoundPlayer &soundPlayer;
    SettingsStore &settings;
    PrintRun &printRun;
    const PrintSurroundings surroundings;
    VekJob m_job = VekJob::undefined();
    std::unique_ptr<QGraphicsScene> m_thumbnailScene;
    // Owns the preview item and its renderer: a new job frees them together.
    std::unique_ptr<QGraphicsScene> m_previewScene;
    QGraphicsSvgItem *m_previewItem = nullptr;
    LayerDocument m_previewLayers;

    bool printPaused = false;
    bool toolTipsShown = false;
    // The layer test runs: prints and a second test wait for it.
    bool layerTestRunning = false;
    // Spin-box changes are saved as defaults once the page is set up.
    bool uiReady = false;
    // The table edit rule: the last cell edited, and whether the next edit refreshes at once.
    int editRow = -1;
    int editColumn = -1;
    bool tableRefreshPending = false;
};

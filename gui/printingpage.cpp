#include "gui/printingpage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QHeaderView>
#include <QLayout>
#include <QSvgRenderer>
#include <QThread>

#include "base/constants.h"
#include "base/formatting.h"
#include "base/settingsvalues.h"
#include "gui/dialogs.h"
#include "gui/soundplayer.h"
#include "gui/waitcursor.h"
#include "printer/printer.h"
#include "printing/curingtimetable.h"
#include "printing/framedisplay.h"
#include "settings/settingsstore.h"
#include "ui_printingpage.h"

namespace {

constexpr int STATUS_NOTE_MS = 3000;
constexpr qreal PREVIEW_SCALE = 2.0;
// How long the layer test shows each frame.
constexpr unsigned long TEST_FRAME_MS = 25;

} // namespace

PrintingPage::PrintingPage(Dialogs &dialogs, SoundPlayer &soundPlayer, SettingsStore &settings,
                           PrintRun &printRun, PrintSurroundings surroundings, QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::PrintingPage>())
    , dialogs(dialogs)
    , soundPlayer(soundPlayer)
    , settings(settings)
    , printRun(printRun)
    , surroundings(std::move(surroundings))
{
    ui->setupUi(this);
    ui->btnBackToCalibration->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    ui->checkBoxAddBase->setChecked(true);
    // The "Advanced Settings" button shows this group.
    ui->grpBoxAdvancedSettings->hide();
    ui->checkBoxSuGiu->setChecked(true);
    ui->previewSlider->setEnabled(false);

    ui->spinPreMovement->setValue(SETTINGS_PRE_TIME);
    ui->spinPostMovement->setValue(SETTINGS_POST_TIME);
    ui->spinBaseWaitTime->setValue(SETTINGS_BASE_TIME);
    ui->spinFramesDelay->setValue(SETTINGS_WAIT_TIME);

    setupFramesTimeTable();
    togglePrintingControls(false);
    connect(ui->previewSlider, &QSlider::valueChanged, this,
            &PrintingPage::on_sltChangePreviewFrame);
    connect(this, &PrintingPage::updatePrintModel, this, &PrintingPage::on_updatePrintModel);
    connect(&printRun, &PrintRun::sgnStage, this, &PrintingPage::onStage);
    connect(&printRun, &PrintRun::sgnProgress, this, &PrintingPage::onProgress);
    connect(&printRun, &PrintRun::sgnFinished, this, &PrintingPage::onFinished);
    connect(&printRun, &PrintRun::sgnAborted, this, &PrintingPage::onAborted);
    uiReady = true;
}

PrintingPage::~PrintingPage() = default;

void PrintingPage::setJobGroupEnabled(bool enabled)
{
    ui->grpBoxVek->setEnabled(enabled);
}

int PrintingPage::curingTimeMs() const
{
    return ui->spinFramesDelay->value();
}

bool PrintingPage::addsBase() const
{
    return ui->checkBoxAddBase->isChecked();
}

void PrintingPage::setAddsBase(bool on)
{
    ui->checkBoxAddBase->setChecked(on);
}

void PrintingPage::togglePrintingControls(bool on)
{
    toggleEnableWidgetChildOfLayout(ui->layoutProgress, on);
    toggleEnableWidgetChildOfLayout(ui->layoutRemainingTime, on);
    toggleEnableWidgetChildOfLayout(ui->layoutEstimatedTime, on);
    toggleEnableWidgetChildOfLayout(ui->layoutPrintButtons, on);
    ui->progBarFrame->setEnabled(on);
    ui->progBarPrint->setEnabled(on);
    ui->btnStartPrinting->setEnabled(!on);
    ui->btnTestLayers->setEnabled(!on);
}

void PrintingPage::toggleEnableWidgetChildOfLayout(QLayout *layout, bool on)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (QWidget *widget = item->widget())
            widget->setEnabled(on);
        else if (QLayout *nested = item->layout())
            toggleEnableWidgetChildOfLayout(nested, on);
    }
}

void PrintingPage::on_btnBackToCalibration_clicked()
{
    emit sgnBackToCalibration();
}

void PrintingPage::on_grpBoxVek_clicked(bool checked)
{
    emit sgnJobGroupClicked(checked);
}

void PrintingPage::setupFramesTimeTable()
{
    QTableWidget *table = ui->framesTimeTable;
    table->setRowCount(3);
    table->setColumnCount(3);
    table->setAutoScroll(true);
    setTableHeaders();
    table->verticalHeader()->setVisible(true);
    table->verticalHeader()->setDefaultSectionSize(20);
}

void PrintingPage::on_btnLoadVek_clicked()
{
    const QString path = dialogs.openFileName(this, tr("Loading .vek file"), SLICER_WORKING_DIR,
                                              tr("Vek files (*.vek)"));
    // Cancelling keeps the job loaded so far, and its path with it.
    if (!path.isEmpty())
        setVekFilePath(path);
}

void PrintingPage::setVekFilePath(const QString &path)
{
    // The print under way keeps its job; its settings would otherwise start it over.
    if (printRun.isPrinting()) {
        dialogs.warning(this,
                        tr("A print is running: %1 can be loaded when it has ended.")
                                .arg(QFileInfo(path).fileName()));
        return;
    }
    ui->leLoadVek->setText(path);
    emit sgnStatusNote(path, STATUS_NOTE_MS);

    QString error;
    if (!readJob(path, error)) {
        if (error.isEmpty())
            error = tr("File vek invalido: non si puo' procedere con la stampa. Ricaricalo.");
        dialogs.show(this, QMessageBox::Warning, tr("Error while acquiring .vek file!"), error,
                     QMessageBox::Ok, QMessageBox::NoButton);
        ui->leLoadVek->clear();
        emit sgnStatusNote(error, STATUS_NOTE_MS);
    }
    // The page shows what was read, or the defaults, also after an error.
    showJob();
    emit updatePrintModel(true);
}

bool PrintingPage::readJob(const QString &path, QString &error)
{
    m_job = VekJob();
    switch (readVekJob(path, m_job, error)) {
    case VekReading::Complete:
        return true;
    case VekReading::Repaired:
    case VekReading::Converted:
        break;
    case VekReading::NeedsDefaults:
        if (dialogs.question(this,
                             tr("Troubles while reading .vek file: default values were "
                                "loaded.\n Would you like to proceed printing?"),
                             QMessageBox::No)
            != QMessageBox::Yes)
            return false;
        break;
    case VekReading::Unreadable:
        return false;
    }
    // The job as read can be printed also where its file cannot be rewritten (a read-only
    // folder, a full disk): the file stays as it was, and is completed at a later loading.
    QString reason;
    if (!rewriteVekJob(path, m_job, reason)) {
        const QString note =
                tr("The job is loaded, but its file could not be brought up to date.\n%1")
                        .arg(reason);
        dialogs.warning(this, note);
        emit sgnStatusNote(note, STATUS_NOTE_MS);
    }
    return true;
}

void PrintingPage::showJob()
{
    {
        // The knob goes back to the first layer of the new job.
        const QSignalBlocker blocker(ui->previewSlider);
        ui->previewSlider->setRange(1, m_job.lastFrame);
        ui->previewSlider->setValue(1);
    }
    ui->previewSlider->setTickPosition(QSlider::TicksBelow);
    ui->previewSlider->setTickInterval(0);
    ui->previewSlider->setEnabled(true);
    ui->btnTestLayers->setEnabled(true);

    ui->lblPrintObjectName->setText(m_job.baseName + QStringLiteral(".stl"));
    // In floating point: a large layer count read from a file must not overflow.
    const float height = float(m_job.zCut) * (float(m_job.lastFrame) + 1.0f) / 10000.0f;
    ui->lblPrintObjectHeight->setText(numberFormat(height, 2) + QStringLiteral(" cm"));
    ui->lblPrintLayerThickness->setText(QString::number(m_job.zCut) + QStringLiteral(" µm"));
    ui->lblPrintCurrentFrame->setText(QStringLiteral("1"));
    ui->lblPrintTotalFrames->setText(QString::number(m_job.lastFrame));

    showThumbnail();
    showPreview();
}

void PrintingPage::showThumbnail()
{
    // Scaled down to the small view, which has no scroll bars.
    auto scene = std::make_unique<QGraphicsScene>();
    const QPixmap picture(m_job.thumbnail());
    if (!picture.isNull())
        scene->addPixmap(picture.scaled(ui->graphicsPreview->maximumViewportSize(),
                                        Qt::KeepAspectRatio, Qt::SmoothTransformation));
    ui->graphicsPreview->setScene(scene.get());
    m_thumbnailScene = std::move(scene);
}

void PrintingPage::showPreview()
{
    auto scene = std::make_unique<QGraphicsScene>();
    // A child of the scene, which deletes its items first: the renderer outlives its item.
    auto *renderer = new QSvgRenderer(scene.get());
    // The layer shown is read from the document alone; a document written otherwise than by
    // the slicer is read whole.
    if (QFile::exists(m_job.previewDocument())) {
        const WaitCursor wait(this);
        if (m_previewLayers.open(m_job.previewDocument()))
            renderer->load(m_previewLayers.layer(QStringLiteral("1")));
        else
            renderer->load(m_job.previewDocument());
    }
    auto *item = new QGraphicsSvgItem;
    item->setSharedRenderer(renderer);
    item->setElementId(QStringLiteral("1"));
    item->setScale(PREVIEW_SCALE);
    scene->addItem(item);

    ui->graphicsView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->graphicsView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->graphicsView->setScene(scene.get());
    // The previous job's scene goes, with its item and renderer.
    m_previewScene = std::move(scene);
    m_previewItem = item;
}

void PrintingPage::on_sltChangePreviewFrame(int value)
{
    if (m_previewItem) {
        const QString id = QString::number(value);
        if (m_previewLayers.isOpen())
            m_previewItem->renderer()->load(m_previewLayers.layer(id));
        m_previewItem->setScale(PREVIEW_SCALE);
        m_previewItem->setElementId(id);
    }
    ui->lblPrintCurrentFrame->setText(QString::number(value));
}

namespace {

// "hh:mm:ss", the hours with as many digits as they need.
QString clockText(qint64 ms)
{
    return QStringLiteral("%1:%2:%3")
            .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
            .arg(ms % 3600000 / 60000, 2, 10, QLatin1Char('0'))
            .arg(ms % 60000 / 1000, 2, 10, QLatin1Char('0'));
}

// A cell's text, null when the cell was never filled in.
QString cellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

std::optional<QMap<int, int>> PrintingPage::readFramesTimeTable()
{
    QList<CuringTimeRow> rows;
    for (int row = 0; row < ui->framesTimeTable->rowCount(); ++row)
        rows.append({cellText(ui->framesTimeTable, row, 0), cellText(ui->framesTimeTable, row, 1),
                     cellText(ui->framesTimeTable, row, 2)});
    std::optional<QMap<int, int>> times = readCuringTimes(rows);
    if (!times)
        dialogs.warning(this,
                        tr("Error in the frames time table! Check che consistency of the "
                           "table"));
    return times;
}

PrintOptions PrintingPage::printOptions(const QMap<int, int> &curingTimes) const
{
    PrintOptions options;
    options.curingTimeMs = ui->spinFramesDelay->value();
    options.addBase = ui->checkBoxAddBase->isChecked();
    options.baseTimeMs = ui->spinBaseWaitTime->value();
    options.upAndDown = ui->checkBoxSuGiu->isChecked();
    options.preMovementMs = SETTINGS_PRE_TIME;
    options.postMovementMs = SETTINGS_POST_TIME;
    options.curingTimes = curingTimes;
    return options;
}

void PrintingPage::on_updatePrintModel(bool)
{
    if (m_job.lastFrame < 0)
        return;
    const std::optional<QMap<int, int>> times = readFramesTimeTable();
    if (!times || printRun.isPrinting())
        return;
    printRun.configure(m_job, printOptions(*times));
    const QString estimate = clockText(printRun.model().calcPrintTime());
    ui->lblRemaining->setText(estimate);
    ui->lblETA->setText(estimate);
}

void PrintingPage::on_sltProjectorPlaced()
{
    if (!printRun.isPrinting())
        ui->grpBoxStartPrinting->setEnabled(true);
}

void PrintingPage::refuse(const QString &why)
{
    dialogs.warning(this, why);
}

void PrintingPage::on_btnStartPrinting_clicked()
{
    if (layerTestRunning)
        return;
    if (!QFile::exists(ui->leLoadVek->text())) {
        refuse(tr("Print cannot be started!\n Please specify a .vek file to be printed."));
        ui->leLoadVek->clear();
        return;
    }
    Printer *printer = surroundings.printer();
    if (!printer || !printer->isReady() || !surroundings.projectorPlaced()) {
        refuse(tr("Print cannot be started!\n Please ensure that both the printer and the "
                  "projector are connected."));
        return;
    }
    const std::optional<QMap<int, int>> times = readFramesTimeTable();
    if (!times)
        return;
    const PrintOptions options = printOptions(*times);
    const QString refusal = printRun.refusal(m_job, options, printer);
    if (!refusal.isEmpty()) {
        refuse(refusal);
        return;
    }

    ui->grpBoxStartPrinting->setEnabled(false);
    togglePrintingControls(true);
    ui->btnCheck->setEnabled(false);
    ui->progBarPrint->setMaximum(m_job.lastFrame);
    emit sgnPrintStarting();
    printRun.start(m_job, options, *printer, surroundings.logContext());
}

void PrintingPage::on_btnTestLayers_clicked()
{
    if (layerTestRunning || printRun.isPrinting())
        return;
    if (!QFile::exists(ui->leLoadVek->text())) {
        refuse(tr("Print Preview cannot be started!\n Please specify a .vek file to be "
                  "simulated."));
        ui->leLoadVek->clear();
        return;
    }
    layerTestRunning = true;
    ui->btnTestLayers->setEnabled(false);
    ui->btnStartPrinting->setEnabled(false);
    QString error;
    if (!surroundings.projectorPlaced())
        refuse(tr("Print Preview cannot be started!\n Please ensure that the projector is "
                  "connected."));
    else if (!flashLayers(error))
        refuse(tr("Print Preview cannot be started!\n %1").arg(error));
    layerTestRunning = false;
    ui->btnTestLayers->setEnabled(true);
    ui->btnStartPrinting->setEnabled(true);
}

bool PrintingPage::flashLayers(QString &error)
{
    // The preparation and the flashing can take seconds: there is no box that would not stop
    // the flashing, so the wait cursor says it.
    const WaitCursor wait(this);
    // A job loaded meanwhile (events run between frames) does not change the one under test.
    const VekJob job = m_job;
    const QString preview = job.previewDocument();
    if (!QFile::exists(preview) && !writePreviewDocument(job.printDocument(), preview, error))
        return false;
    // From here on the projector shows the test's frames, or black.
    emit sgnLayerTestStarting();
    FrameDisplay &display = printRun.display();
    if (!display.loadLayers(preview)) {
        display.blackFrame();
        error += tr("The preview document %1 cannot be read.").arg(preview);
        return false;
    }
    // Every frame the print would show, and no more than the document holds.
    const bool addBase = ui->checkBoxAddBase->isChecked();
    const int firstFrame = addBase ? 0 : 1;
    for (int frame = firstFrame; frame <= job.lastFrame; ++frame) {
        const QString id = PrintModel::elementId(frame, addBase);
        if (!display.hasLayer(id)) {
            display.blackFrame();
            error += tr("The preview document %1 has no layer \"%2\".").arg(preview, id);
            return false;
        }
    }
    for (int frame = firstFrame; frame <= job.lastFrame; ++frame) {
        display.showFrame(PrintModel::elementId(frame, addBase));
        QThread::msleep(TEST_FRAME_MS);
        QCoreApplication::processEvents();
    }
    display.blackFrame();
    return true;
}

void PrintingPage::on_btnPause_clicked()
{
    if (!printRun.isPrinting())
        return;
    if (!printPaused) {
        printRun.pause();
        setPaused(true);
        return;
    }
    // Curing times edited during the pause apply to the frames still to come.
    if (const std::optional<QMap<int, int>> times = readFramesTimeTable())
        printRun.model().loadFramesTimeMap(*times);
    printRun.resume();
    setPaused(false);
}

void PrintingPage::setPaused(bool paused)
{
    printPaused = paused;
    ui->btnPause->setText(paused ? tr("Resume") : tr("Pause"));
    ui->btnCheck->setEnabled(paused);
    ui->grpBoxStartPrinting->setEnabled(paused);
    // While paused, only the curing-time table and its buttons can be edited.
    for (QWidget *control :
         {static_cast<QWidget *>(ui->spinFramesDelay), static_cast<QWidget *>(ui->checkBoxAddBase),
          static_cast<QWidget *>(ui->spinBaseWaitTime), static_cast<QWidget *>(ui->checkBoxSuGiu),
          static_cast<QWidget *>(ui->spinPreMovement), static_cast<QWidget *>(ui->spinPostMovement),
          static_cast<QWidget *>(ui->btnAdvancedSettings),
          static_cast<QWidget *>(ui->btnStartPrinting), static_cast<QWidget *>(ui->btnTestLayers)})
        control->setEnabled(!paused);
}

void PrintingPage::on_btnCheck_clicked()
{
    // The plate goes out of the resin and back; the print cannot go on while it is out.
    if (ui->btnPause->isEnabled()) {
        ui->btnPause->setEnabled(false);
        printRun.extract();
        ui->btnCheck->setText(tr("Reposition"));
    } else {
        ui->btnPause->setEnabled(true);
        printRun.reposition();
        ui->btnCheck->setText(tr("Extract"));
    }
}

void PrintingPage::on_btnAbort_clicked()
{
    if (!printRun.isPrinting())
        return;
    soundPlayer.play(SoundPlayer::Sound::Wait);
    const bool wasPaused = printPaused;
    printRun.pause();
    if (dialogs.question(this, tr("Are you sure?"), QMessageBox::No) == QMessageBox::Yes)
        printRun.abort();
    else if (!wasPaused)
        printRun.resume();
}

void PrintingPage::onStage(int stage)
{
    ui->progBarFrame->setValue(stage + 1);
}

void PrintingPage::onProgress(int currentFrame, int totalFrames, int remainingMs)
{
    ui->lblNrFrames->setText(tr("frame %1 of %2").arg(currentFrame).arg(totalFrames));
    ui->lblRemaining->setText(clockText(remainingMs));
    ui->previewSlider->setValue(currentFrame);
    ui->progBarPrint->setValue(currentFrame);
}

void PrintingPage::restoreIdleControls()
{
    setPaused(false);
    ui->btnPause->setEnabled(true);
    ui->btnCheck->setText(tr("Extract"));
    ui->progBarFrame->setValue(0);
    ui->progBarPrint->setValue(0);
    ui->lblNrFrames->setText(tr("frame 0 of 0"));
    togglePrintingControls(false);
    ui->grpBoxStartPrinting->setEnabled(true);
    emit sgnPrintEnded();
    emit updatePrintModel(false);
}

void PrintingPage::onFinished(qint64)
{
    restoreIdleControls();
    ui->lblRemaining->setText(QStringLiteral("00:00:00"));
    soundPlayer.play(SoundPlayer::Sound::Success);
    dialogs.information(this, tr("Print successfully completed!"));
}

void PrintingPage::onAborted(const QString &reason)
{
    restoreIdleControls();
    if (reason.isEmpty())
        return;
    soundPlayer.play(SoundPlayer::Sound::Error);
    dialogs.warning(this, tr("Print has been ABORTED!\n%1").arg(reason));
}

void PrintingPage::on_btnAdvancedSettings_clicked()
{
    ui->grpBoxAdvancedSettings->setVisible(ui->grpBoxAdvancedSettings->isHidden());
}

void PrintingPage::on_btnAddRowTableFrameTime_clicked()
{
    ui->framesTimeTable->insertRow(ui->framesTimeTable->rowCount());
}

void PrintingPage::on_btnResetTableFrameTime_clicked()
{
    ui->framesTimeTable->setRowCount(0);
    ui->framesTimeTable->setRowCount(3);
}

void PrintingPage::on_btn3xCuringTime_clicked()
{
    QTableWidget *table = ui->framesTimeTable;
    const bool reuse = table->rowCount() > 0
            && ((cellText(table, 0, 0) == QLatin1String("1")
                 && cellText(table, 0, 1) == QLatin1String("3"))
                || !table->item(0, 0) || !table->item(0, 1));
    if (!reuse)
        table->insertRow(0);
    table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("1")));
    table->setItem(0, 1, new QTableWidgetItem(QStringLiteral("3")));
    tableRefreshPending = true;
    table->setItem(0, 2, new QTableWidgetItem(QString::number(3 * ui->spinFramesDelay->value())));
}

void PrintingPage::on_framesTimeTable_cellChanged(int row, int column)
{
    // A row typed left to right refreshes the model when its time is entered.
    if (tableRefreshPending) {
        tableRefreshPending = false;
        emit updatePrintModel(false);
    } else if (editRow < 0 && editColumn < 0) {
        editRow = row;
        editColumn = column;
    } else if (row == editRow && column == editColumn + 1) {
        editColumn = column;
        if (editColumn == 2) {
            emit updatePrintModel(false);
            tableRefreshPending = false;
            editRow = -1;
            editColumn = -1;
        }
    }
}

void PrintingPage::on_checkBoxAddBase_clicked()
{
    emit updatePrintModel(false);
}

void PrintingPage::on_checkBoxSuGiu_clicked()
{
    emit updatePrintModel(false);
}

void PrintingPage::noteUnsaved(bool saved)
{
    if (!saved)
        emit sgnStatusNote(
                tr("The value is used, but could not be saved in %1.").arg(settings.path()),
                STATUS_NOTE_MS);
}

// A value changed by the user becomes the default of the next runs.
void PrintingPage::on_spinFramesDelay_valueChanged(int value)
{
    if (uiReady && value != SETTINGS_WAIT_TIME)
        noteUnsaved(settings.saveFrameTime(value));
}

void PrintingPage::on_spinBaseWaitTime_valueChanged(int value)
{
    if (uiReady && value != SETTINGS_BASE_TIME)
        noteUnsaved(settings.saveBaseWaitTime(value));
}

void PrintingPage::on_spinPreMovement_valueChanged(int value)
{
    if (uiReady && value != SETTINGS_PRE_TIME)
        noteUnsaved(settings.savePreMovementTime(value));
}

void PrintingPage::on_spinPostMovement_valueChanged(int value)
{
    if (uiReady && value != SETTINGS_POST_TIME)
        noteUnsaved(settings.savePostMovementTime(value));
}

void PrintingPage::on_spinFramesDelay_editingFinished()
{
    emit updatePrintModel(false);
}

void PrintingPage::on_spinBaseWaitTime_editingFinished()
{
    emit updatePrintModel(false);
}

void PrintingPage::on_spinPreMovement_editingFinished()
{
    emit updatePrintModel(false);
}

void PrintingPage::on_spinPostMovement_editingFinished()
{
    emit updatePrintModel(false);
}

void PrintingPage::setTableHeaders()
{
    ui->framesTimeTable->setHorizontalHeaderLabels(
            {tr("Start Layer (Incl.)"), tr("End Layer (Incl.)"), tr("Frame Time (ms)")});
}

void PrintingPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        // The form's texts come back in the new language; what the page wrote into its labels
        // (figures, the job's values, the state of a print) is kept or written again.
        const QList<QLabel *> values = {
                ui->lblNrFrames,          ui->lblRemaining,         ui->lblETA,
                ui->lblPrintObjectName,   ui->lblPrintObjectHeight, ui->lblPrintLayerThickness,
                ui->lblPrintCurrentFrame, ui->lblPrintTotalFrames};
        QStringList texts;
        for (const QLabel *label : values)
            texts << label->text();
        const bool extracted = printPaused && !ui->btnPause->isEnabled();
        ui->retranslateUi(this);
        for (int i = 0; i < values.size(); ++i)
            values[i]->setText(texts[i]);
        ui->btnPause->setText(printPaused ? tr("Resume") : tr("Pause"));
        ui->btnCheck->setText(extracted ? tr("Reposition") : tr("Extract"));
        setTableHeaders();
        setToolTipsShown(toolTipsShown);
    }
    QWidget::changeEvent(event);
}

void PrintingPage::setToolTipsShown(bool shown)
{
    toolTipsShown = shown;
    const QList<QPair<QWidget *, QString>> tips = {
            {ui->leLoadVek, tr("Lets you specify the .vek file you previously created.")},
            {ui->btnLoadVek, tr("Lets you specify the .vek file you previously created.")},
            {ui->graphicsView, tr("Gives you a layers' preview of the selected .vek file.")},
            {ui->previewSlider,
             tr("Slide this control to watch a preview of the frames that will "
                "be printed.")},
            {ui->graphicsPreview, tr("Shows a preview of the selected .vek file.")},
            {ui->spinBaseWaitTime, tr("Lets you select the exposure time of the base frame.")},
            {ui->spinFramesDelay, tr("Lets you select the exposure time of each frame.")},
            {ui->checkBoxAddBase, tr("Lets you add a supporting honeycomb base to your objects.")},
            {ui->spinPreMovement,
             tr("Specify how many milliseconds to wait before the engine "
                "movement.")},
            {ui->spinPostMovement,
             tr("Specify how many milliseconds to wait after the engine "
                "movement.")},
            {ui->checkBoxSuGiu,
             tr("Lets the printing bed move deeply into the resin between each "
                "frame. Improves the quality but slows down the print.")},
            {ui->btnStartPrinting,
             tr("Once you've loaded the print configuration, this control "
                "starts the printing process.")},
            {ui->btnAdvancedSettings, tr("Shows more advanced printing settings.")},
            {ui->btnTestLayers,
             tr("Lets you watch a harmless preview of the print on the "
                "printing bed.")},
            {ui->progBarFrame, tr("Shows the progress of each frame.")},
            {ui->progBarPrint, tr("Shows the progress of the entire printing process.")},
            {ui->btnPause,
             tr("Lets you pause the printing process. You will be able to resume "
                "the print by clicking again.")},
            {ui->btnCheck,
             tr("Lets you check the status of the print by emerging the printing "
                "bed.")},
            {ui->btnAbort,
             tr("Lets you interrupt the printing process. Warning: the print will "
                "be unrecoverable!")},
            {ui->btnBackToCalibration, tr("Proceed to the previous phase: calibration.")},
    };
    for (const auto &[widget, tip] : tips)
        widget->setToolTip(shown ? tip : QString());
}

#include "gui/printingpage.h"

#include <QFile>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QSvgRenderer>

#include "base/constants.h"
#include "base/formatting.h"
#include "base/settingsvalues.h"
#include "gui/dialogs.h"
#include "ui_printingpage.h"

namespace {

constexpr int STATUS_NOTE_MS = 3000;
constexpr qreal PREVIEW_SCALE = 2.0;

// The wait cursor while a document of tens of megabytes is read.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

PrintingPage::PrintingPage(Dialogs &dialogs, QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::PrintingPage>())
    , dialogs(dialogs)
{
    ui->setupUi(this);
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
    table->setHorizontalHeaderLabels(
            {tr("Start Layer (Incl.)"), tr("End Layer (Incl.)"), tr("Frame Time (ms)")});
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
        return rewriteVekJob(path, m_job, error);
    case VekReading::NeedsDefaults:
        return dialogs.question(this,
                                tr("Troubles while reading .vek file: default values were "
                                   "loaded.\n Would you like to proceed printing?"),
                                QMessageBox::No)
                == QMessageBox::Yes
                && rewriteVekJob(path, m_job, error);
    case VekReading::Unreadable:
        break;
    }
    return false;
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
        const WaitCursor wait;
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

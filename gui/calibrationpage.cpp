#include "gui/calibrationpage.h"

#include <QCoreApplication>
#include <QGraphicsSvgItem>
#include <QGuiApplication>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>

#include "base/constants.h"
#include "base/formatting.h"
#include "gui/dialogs.h"
#include "gui/soundplayer.h"
#include "printer/printer.h"
#include "printer/printerconnection.h"
#include "printing/printrun.h"
#include "projector/projector.h"
#include "settings/settingsstore.h"
#include "ui_calibrationpage.h"

namespace {

constexpr int CONNECTION_NOTE_MS = 5000;
constexpr int STATUS_NOTE_MS = 3000;
// Automatic reconnections tried before the ports are scanned again.
constexpr int RECONNECTIONS_BEFORE_RESCAN = 3;

} // namespace

CalibrationPage::CalibrationPage(PrinterConnection &connection, QTimer &printerCheckTimer,
                                 const PrintRun &printRun, Projector &projector,
                                 SettingsStore &settings, SoundPlayer &soundPlayer,
                                 Dialogs &dialogs, QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::CalibrationPage>())
    , connection(connection)
    , printerCheckTimer(printerCheckTimer)
    , printRun(printRun)
    , soundPlayer(soundPlayer)
    , dialogs(dialogs)
    , projector(projector)
    , settings(settings)
{
    ui->setupUi(this);
    ui->btnGoToPrinting->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    ui->btnBackTo3D->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    // Jog and zoom buttons repeat while held down.
    ui->btnUp->setAutoRepeat(true);
    ui->btnDown->setAutoRepeat(true);
    ui->btnZoomIn->setAutoRepeat(true);
    ui->btnZoomOut->setAutoRepeat(true);
    showScale();
}

CalibrationPage::~CalibrationPage() = default;

void CalibrationPage::scanPrinters(bool silent)
{
    // The window repaints once before the scan holds it for a quarter of a second per port.
    QCoreApplication::processEvents();
    const int found = connection.scan();

    ui->cboArduinoPorts->clear();
    ui->cboArduinoPorts->addItems(connection.portNames());

    if (found == 0) {
        ui->btnConnectPrinter->setEnabled(false);
        if (!silent) {
            soundPlayer.play(SoundPlayer::Sound::Error);
            dialogs.critical(this, tr("No printer detected!"));
        }
        return;
    }
    if (found > 1) {
        ui->grpBoxUpDown->setEnabled(true);
        ui->cboArduinoPorts->setEnabled(true);
        ui->btnConnectPrinter->setEnabled(true);
        return;
    }
    if (!initPrinterConnection(silent)) {
        // The Connect button sits in this group: it must be usable to try again.
        ui->grpBoxUpDown->setEnabled(true);
        ui->btnConnectPrinter->setEnabled(true);
    }
}

bool CalibrationPage::initPrinterConnection(bool silent)
{
    Printer *printer = connection.current();
    if (!printer)
        return false;

    if (!printer->openConnection()) {
        const QString failure = tr("Printer NOT connected! Something gone wrong.");
        if (silent) {
            emit sgnStatusNote(failure, CONNECTION_NOTE_MS);
        } else {
            soundPlayer.play(SoundPlayer::Sound::Error);
            dialogs.information(this, failure);
        }
        return false;
    }

    if (silent) {
        emit sgnStatusNote(tr("Printer automatically detected."), CONNECTION_NOTE_MS);
    } else {
        soundPlayer.play(SoundPlayer::Sound::Success);
        dialogs.information(this, tr("Printer successfully connected!"));
    }
    ui->btnScanPrinter->setEnabled(true);
    ui->btnConnectPrinter->setEnabled(false);
    ui->grpBoxUpDown->setEnabled(true);
    ui->cboArduinoPorts->setEnabled(false);
    ui->btnUp->setEnabled(true);
    ui->btnDown->setEnabled(true);
    printerCheckTimer.start();
    return true;
}

void CalibrationPage::on_btnScanPrinter_clicked()
{
    if (printRun.isPrinting())
        return;
    if (Printer *printer = connection.current())
        printer->closeConnection();
    scanPrinters(false);
}

void CalibrationPage::on_btnConnectPrinter_clicked()
{
    initPrinterConnection(false);
}

void CalibrationPage::on_cboArduinoPorts_currentIndexChanged(int index)
{
    connection.select(index);
}

void CalibrationPage::on_btnUp_clicked()
{
    if (printRun.isPrinting())
        return;
    if (Printer *printer = connection.current())
        printer->goUp(Printer::LIFT_STEP_UM, true);
}

void CalibrationPage::on_btnDown_clicked()
{
    if (printRun.isPrinting())
        return;
    if (Printer *printer = connection.current())
        printer->goDown(Printer::LIFT_STEP_UM, false, true);
}

void CalibrationPage::accuratePrinterUp()
{
    if (printRun.isPrinting())
        return;
    if (Printer *printer = connection.current())
        printer->goUp(Printer::FINE_STEP_UM, true);
}

void CalibrationPage::accuratePrinterDown()
{
    if (printRun.isPrinting())
        return;
    if (Printer *printer = connection.current())
        printer->goDown(Printer::FINE_STEP_UM, false, true);
}

void CalibrationPage::on_sltCheckPrinter()
{
    Printer *printer = connection.current();
    if (!printer || printer->isMoving() || printRun.isPrinting())
        return;
    if (printer->testConnection())
        return;
    if (initPrinterConnection(true)) {
        checkFailures = 0;
        return;
    }
    if (++checkFailures >= RECONNECTIONS_BEFORE_RESCAN) {
        checkFailures = 0;
        printerCheckTimer.stop();
        scanPrinters(true);
    }
}

void CalibrationPage::on_btnBackTo3D_clicked()
{
    emit sgnBackTo3D();
}

void CalibrationPage::on_btnGoToPrinting_clicked()
{
    emit sgnGoToPrinting();
}

void CalibrationPage::on_btnCalibration_clicked()
{
    if (QGuiApplication::screens().size() < 2) {
        soundPlayer.play(SoundPlayer::Sound::Error);
        dialogs.critical(this, tr("No projector detected!"));
        return;
    }
    // The print's frames are on the projector: the grid waits for the print to end.
    if (printRun.isPrinting())
        return;
    projector.showProjector();
    ui->btnCalibration->setEnabled(false);
    emit sgnProjectorPlaced();
    ui->grpBoxZoom->setEnabled(true);
    ui->btnShowGrid->setEnabled(true);
    ui->btnReverseZoom->setEnabled(false);
    showScale();
    ui->btnShowGrid->click();
}

void CalibrationPage::on_btnShowGrid_clicked()
{
    // The layer on the projector is the print's, at the print's scale.
    if (printRun.isPrinting())
        return;
    auto renderer = std::make_unique<QSvgRenderer>(GRID_SVG);
    auto item = std::make_unique<QGraphicsSvgItem>();
    item->setSharedRenderer(renderer.get());
    projector.loadImage(item.get());
    item->setElementId(QStringLiteral("0"));
    projector.showImage();
    // The projector no longer holds the previous grid: it goes, its item before its renderer.
    gridItem = std::move(item);
    gridRenderer = std::move(renderer);
    setGridShown(true);
}

void CalibrationPage::on_btnHideGrid_clicked()
{
    if (printRun.isPrinting())
        return;
    projector.blackImage();
    setGridShown(false);
}

void CalibrationPage::on_sltGridOffScreen()
{
    setGridShown(false);
}

void CalibrationPage::setGridShown(bool shown)
{
    ui->btnShowGrid->setEnabled(!shown);
    for (QWidget *control :
         {static_cast<QWidget *>(ui->spinZoomFactor), static_cast<QWidget *>(ui->btnHideGrid),
          static_cast<QWidget *>(ui->btnZoomIn), static_cast<QWidget *>(ui->btnZoomOut),
          static_cast<QWidget *>(ui->btnReverseZoom)})
        control->setEnabled(shown);
}

void CalibrationPage::on_btnZoomIn_clicked()
{
    zoomBy(ui->spinZoomFactor->value());
}

void CalibrationPage::on_btnZoomOut_clicked()
{
    zoomBy(-ui->spinZoomFactor->value());
}

void CalibrationPage::zoomBy(int step)
{
    if (printRun.isPrinting())
        return;
    // At 0 the image vanishes, below it is drawn mirrored: neither can be calibrated.
    if (projector.scaleFactor() + float(step) / 100 <= 0) {
        emit sgnStatusNote(tr("The scale cannot go down to 0 pixels per millimetre."),
                           STATUS_NOTE_MS);
        return;
    }
    if (step > 0)
        projector.zoomIn(float(step));
    else
        projector.zoomOut(float(-step));
    showScale();
    if (!settings.saveScaleFactor(projector.scaleFactor()))
        emit sgnStatusNote(tr("The scale could not be saved in %1.").arg(settings.path()),
                           STATUS_NOTE_MS);
}

void CalibrationPage::on_btnReverseZoom_clicked()
{
    if (printRun.isPrinting())
        return;
    // Saved at the next zoom step or at quit.
    projector.zoomReset();
    showScale();
}

void CalibrationPage::showScale()
{
    const float factor = projector.scaleFactor();
    ui->lblPixelSize->setText(tr("Projector pixel: %1 µm").arg(numberFormat(1000 / factor, 1)));
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.size() < 2) {
        ui->lblPrintArea->setText(tr("Printable area: no projector screen"));
        return;
    }
    const QSize pixels = screens.at(1)->size();
    ui->lblPrintArea->setText(tr("Printable area: %1 x %2 px: %3 x %4 mm")
                                      .arg(pixels.width())
                                      .arg(pixels.height())
                                      .arg(numberFormat(float(pixels.width()) / factor, 1),
                                           numberFormat(float(pixels.height()) / factor, 1)));
}

void CalibrationPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        showScale();
        setToolTipsShown(toolTipsShown);
    }
    QWidget::changeEvent(event);
}

void CalibrationPage::setToolTipsShown(bool shown)
{
    toolTipsShown = shown;
    const QList<QPair<QWidget *, QString>> tips = {
            {ui->btnCalibration,
             tr("Lets you connect to the external projector. Generates a black "
                "screen to avoid resin's reaction.")},
            {ui->btnShowGrid,
             tr("Lets you project the grid which will need to match the one "
                "engraved on the printing bed.")},
            {ui->btnHideGrid, tr("Lets you hide the grid (optional).")},
            {ui->spinZoomFactor,
             tr("Lets you specify the magnifying factor by which you want to "
                "expand or restrict the projected grid.")},
            {ui->btnZoomIn, tr("Lets you enlarge the grid by the previously chosen factor.")},
            {ui->btnZoomOut, tr("Lets you restrict the grid by the previously chosen factor.")},
            {ui->btnReverseZoom, tr("Lets you reset the grid dimensions to the original ones.")},
            {ui->btnScanPrinter,
             tr("Lets you scan all the USB ports looking for one or more "
                "Tarvisomels.")},
            {ui->cboArduinoPorts,
             tr("Lists the USB ports to which one or more Tarvisomels are "
                "connected.")},
            {ui->btnConnectPrinter, tr("Attempts to retrieve a connection with the Tarvisomel.")},
            {ui->btnDown,
             tr("Lets you move the printing bed down by a step. Used to move the bed "
                "to the home position.")},
            {ui->btnUp,
             tr("Lets you move the printing bed up by a step. Used to move the bed to "
                "the home position.")},
            {ui->btnGoToPrinting, tr("Proceed to the next phase: printing.")},
            {ui->btnBackTo3D, tr("Proceed to the previous phase: model load.")},
    };
    for (const auto &[widget, tip] : tips)
        widget->setToolTip(shown ? tip : QString());
}

#include "gui/calibrationpage.h"

#include <QCoreApplication>
#include <QTimer>

#include "gui/dialogs.h"
#include "gui/soundplayer.h"
#include "printer/printer.h"
#include "printer/printerconnection.h"
#include "printing/printrun.h"
#include "ui_calibrationpage.h"

namespace {

constexpr int CONNECTION_NOTE_MS = 5000;
// Automatic reconnections tried before the ports are scanned again.
constexpr int RECONNECTIONS_BEFORE_RESCAN = 3;

} // namespace

CalibrationPage::CalibrationPage(PrinterConnection &connection, QTimer &printerCheckTimer,
                                 const PrintRun &printRun, SoundPlayer &soundPlayer,
                                 Dialogs &dialogs, QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::CalibrationPage>())
    , connection(connection)
    , printerCheckTimer(printerCheckTimer)
    , printRun(printRun)
    , soundPlayer(soundPlayer)
    , dialogs(dialogs)
{
    ui->setupUi(this);
    // Jog and zoom buttons repeat while held down.
    ui->btnUp->setAutoRepeat(true);
    ui->btnDown->setAutoRepeat(true);
    ui->btnZoomIn->setAutoRepeat(true);
    ui->btnZoomOut->setAutoRepeat(true);
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

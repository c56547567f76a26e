// Connection page slots of the main window: finding the printer on the serial ports, connecting
// to it, jogging the plate, and the periodic check that reconnects a printer that went away.

#include <optional>

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "app/constants.h"
#include "app/mainwindow.h"
#include "app/soundplayer.h"
#include "printer/printer.h"
#include "ui_mainwindow.h"

namespace {

constexpr int CONNECTION_NOTE_MS = 5000;
constexpr int MANUAL_STEP_UM = 300;
constexpr int FINE_STEP_UM = 50;
// Automatic reconnections tried before the ports are scanned again.
constexpr int RECONNECTIONS_BEFORE_RESCAN = 3;

std::optional<QStringList> printerPortsOverride;

} // namespace

void MainWindow::overridePrinterPorts(const QStringList &portLocations)
{
    printerPortsOverride = portLocations;
}

void MainWindow::scanPrinters(bool silent)
{
    // Printers of earlier scans stay children of the window: one of them may still be in use.
    printers.clear();
    QCoreApplication::processEvents();
    printers = printerPortsOverride ? Printer::scanForPrinters(*printerPortsOverride, this)
                                    : Printer::scanForPrinters(this);

    ui->cboArduinoPorts->clear();
    for (const Printer *found : qAsConst(printers))
        ui->cboArduinoPorts->addItem(found->getPortName());

    if (printers.isEmpty()) {
        ui->btnConnectPrinter->setEnabled(false);
        if (!silent) {
            m_soundPlayer->play(SoundPlayer::Sound::Error);
            QMessageBox::critical(this, MSGBOX_HEADER, tr("No printer detected!"), QMessageBox::Ok);
        }
        return;
    }

    printer = printers.first();
    if (printers.size() > 1) {
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

bool MainWindow::initPrinterConnection(bool silent)
{
    if (!printer)
        return false;

    if (!printer->openConnection()) {
        const QString failure = tr("Printer NOT connected! Something gone wrong.");
        if (silent) {
            statusBar()->showMessage(failure, CONNECTION_NOTE_MS);
        } else {
            m_soundPlayer->play(SoundPlayer::Sound::Error);
            QMessageBox::information(this, MSGBOX_HEADER, failure, QMessageBox::Ok);
        }
        return false;
    }

    if (silent) {
        statusBar()->showMessage(tr("Printer automatically detected."), CONNECTION_NOTE_MS);
    } else {
        m_soundPlayer->play(SoundPlayer::Sound::Success);
        QMessageBox::information(this, MSGBOX_HEADER, tr("Printer successfully connected!"),
                                 QMessageBox::Ok);
    }
    ui->btnScanPrinter->setEnabled(true);
    ui->btnConnectPrinter->setEnabled(false);
    ui->grpBoxUpDown->setEnabled(true);
    ui->cboArduinoPorts->setEnabled(false);
    ui->btnUp->setEnabled(true);
    ui->btnDown->setEnabled(true);

    // The print loop receives the connected printer here, with its LED stages linked to the
    // printer's changeProgBarLed.

    m_printerCheckTimer->start();
    return true;
}

void MainWindow::on_btnScanPrinter_clicked()
{
    if (printer)
        printer->closeConnection();
    scanPrinters(false);
}

void MainWindow::on_btnConnectPrinter_clicked()
{
    initPrinterConnection(false);
}

void MainWindow::on_cboArduinoPorts_currentIndexChanged(int index)
{
    if (index >= 0 && index < printers.size())
        printer = printers.at(index);
}

void MainWindow::on_btnUp_clicked()
{
    if (printer)
        printer->goUp(MANUAL_STEP_UM, true);
}

void MainWindow::on_btnDown_clicked()
{
    if (printer)
        printer->goDown(MANUAL_STEP_UM, false, true);
}

void MainWindow::accuratePrinterUp()
{
    if (printer)
        printer->goUp(FINE_STEP_UM, true);
}

void MainWindow::accuratePrinterDown()
{
    if (printer)
        printer->goDown(FINE_STEP_UM, false, true);
}

void MainWindow::on_sltCheckPrinter()
{
    // A running print also skips the check; the print loop's running flag joins this test.
    if (!printer || printer->isMoving())
        return;
    if (printer->testConnection())
        return;
    if (initPrinterConnection(true)) {
        checkFailures = 0;
        return;
    }
    if (++checkFailures >= RECONNECTIONS_BEFORE_RESCAN) {
        checkFailures = 0;
        m_printerCheckTimer->stop();
        scanPrinters(true);
    }
}

#pragma once

#include <memory>

#include <QWidget>

class Dialogs;
class PrinterConnection;
class PrintRun;
class QTimer;
class SoundPlayer;

namespace Ui {
class CalibrationPage;
}

// Page 1: the projector's calibration, and the printer: finding it on the serial ports,
// connecting to it, jogging the plate and the periodic check that reconnects a printer that
// went away.
class CalibrationPage : public QWidget
{
    Q_OBJECT

public:
    // What the page is given belongs to the main window, which outlives the page.
    CalibrationPage(PrinterConnection &connection, QTimer &printerCheckTimer,
                    const PrintRun &printRun, SoundPlayer &soundPlayer, Dialogs &dialogs,
                    QWidget *parent = nullptr);
    ~CalibrationPage() override;

public slots:
    void scanPrinters(bool silent);
    bool initPrinterConnection(bool silent);
    void accuratePrinterUp();
    void accuratePrinterDown();
    void on_btnUp_clicked();
    void on_btnDown_clicked();
    void on_sltCheckPrinter();

signals:
    void sgnBackTo3D();
    void sgnGoToPrinting();
    // A note for the window's status bar, shown for `ms` milliseconds.
    void sgnStatusNote(const QString &text, int ms);

private slots:
    void on_btnBackTo3D_clicked();
    void on_btnGoToPrinting_clicked();
    void on_btnScanPrinter_clicked();
    void on_btnConnectPrinter_clicked();
    void on_cboArduinoPorts_currentIndexChanged(int index);

private:
    std::unique_ptr<Ui::CalibrationPage> ui;
    PrinterConnection &connection;
    QTimer &printerCheckTimer;
    // While it prints, the plate, the port and the projector are the print's alone.
    const PrintRun &printRun;
    SoundPlayer &soundPlayer;
    Dialogs &dialogs;
    // Consecutive automatic reconnections that failed.
    int checkFailures = 0;
};

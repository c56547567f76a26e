#pragma once

#include <memory>

#include <QWidget>

class Dialogs;
class PrinterConnection;
class PrintRun;
class Projector;
class QGraphicsSvgItem;
class QSvgRenderer;
class QTimer;
class SettingsStore;
class SoundPlayer;

namespace Ui {
class CalibrationPage;
}

// Page 1: the projector's calibration (the millimetre grid on the projector, scaled until it
// matches the grid engraved on the build plate; the scale is saved at every step), and the
// printer: finding it on the serial ports, connecting to it, jogging the plate and the periodic
// check that reconnects a printer that went away.
class CalibrationPage : public QWidget
{
    Q_OBJECT

public:
    // What the page is given belongs to the main window, which outlives the page.
    CalibrationPage(PrinterConnection &connection, QTimer &printerCheckTimer,
                    const PrintRun &printRun, Projector &projector, SettingsStore &settings,
                    SoundPlayer &soundPlayer, Dialogs &dialogs, QWidget *parent = nullptr);
    ~CalibrationPage() override;

    // The explanatory tooltips, in the language in force, or none.
    void setToolTipsShown(bool shown);

public slots:
    void scanPrinters(bool silent);
    bool initPrinterConnection(bool silent);
    void accuratePrinterUp();
    void accuratePrinterDown();
    void on_btnUp_clicked();
    void on_btnDown_clicked();
    void on_sltCheckPrinter();
    // The projector no longer shows the grid (a print or the layer test took it over, or a
    // print ended black): Show Grid brings it back.
    void on_sltGridOffScreen();

signals:
    // The projector window has been placed on the second screen.
    void sgnProjectorPlaced();
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
    void on_btnCalibration_clicked();
    void on_btnShowGrid_clicked();
    void on_btnHideGrid_clicked();
    void on_btnZoomIn_clicked();
    void on_btnZoomOut_clicked();
    void on_btnReverseZoom_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    // Changes the scale by `step` hundredths of a pixel per millimetre and saves it.
    void zoomBy(int step);
    // The grid's controls with the grid shown or not.
    void setGridShown(bool shown);
    // The projector's pixel size and printable area at the current scale.
    void showScale();

    std::unique_ptr<Ui::CalibrationPage> ui;
    PrinterConnection &connection;
    QTimer &printerCheckTimer;
    // While it prints, the plate, the port and the projector are the print's alone.
    const PrintRun &printRun;
    SoundPlayer &soundPlayer;
    Dialogs &dialogs;
    Projector &projector;
    SettingsStore &settings;
    // The grid of the last Show Grid; the projector only holds the item, through a QPointer.
    std::unique_ptr<QSvgRenderer> gridRenderer;
    std::unique_ptr<QGraphicsSvgItem> gridItem;
    // Consecutive automatic reconnections that failed.
    int checkFailures = 0;
    bool toolTipsShown = false;
};

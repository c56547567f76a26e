#pragma once

#include <memory>

#include <QMainWindow>
#include <QMessageBox>
#include <QStringList>
#include <QTime>

class QCloseEvent;
class QLayout;
class QSettings;
class QTimer;
class QTranslator;
class QFileDialog;
class Printer;
class Slicer;
class SoundPlayer;

namespace Ui {
class MainWindow;
}

// The one top-level window: it creates and owns every long-lived object, wires them together
// and leads the user through the model, calibration and printing pages. Each page's slots live
// in that page's folder; this file holds the assembly, the navigation and the quit sequence.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(std::unique_ptr<SoundPlayer> soundPlayer, QWidget *parent = nullptr);
    ~MainWindow() override;

    QTimer *printerCheckTimer() const { return m_printerCheckTimer; }
    QTimer *printFrequencyTimer() const { return m_printFrequencyTimer; }
    QTimer *remainingTimeTimer() const { return m_remainingTimeTimer; }

    // The printer scan probes these port names or device paths instead of the system's serial
    // ports from now on (virtual printers on pseudo-terminals, which the system does not list).
    static void overridePrinterPorts(const QStringList &portLocations);

public slots:
    void on_stlActionQuit();
    void showSettingsWindow();
    void about();
    QMessageBox::StandardButton askQuitConfirm(QMessageBox::StandardButton defaultButton);
    void quitEvent();
    void hideContents();
    void togglePrintingControls(bool on);
    void toggleEnableWidgetChildOfLayout(QLayout *layout, bool on);

    // Page navigation
    void on_btnGoToCalibration_clicked();
    void on_btnBackTo3D_clicked();
    void on_btnGoToPrinting_clicked();
    void on_btnBackToCalibration_clicked();

    // Model page (model/modelpage.cpp)
    void on_btnReset_clicked();

    // Printing page (printing/printingpage.cpp)
    void on_grpBoxStl_clicked(bool checked);
    void on_grpBoxVek_clicked(bool checked);

    // Connection page (printer/connectionpage.cpp)
    void scanPrinters(bool silent);
    bool initPrinterConnection(bool silent);
    void on_btnScanPrinter_clicked();
    void on_btnConnectPrinter_clicked();
    void on_cboArduinoPorts_currentIndexChanged(int index);
    void on_btnUp_clicked();
    void on_btnDown_clicked();
    void accuratePrinterUp();
    void accuratePrinterDown();
    void on_sltCheckPrinter();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void initActionsConnections();
    void installShortcuts();
    void setupFramesTimeTable();
    // True while a print or a slicing run is under way: quitting then needs confirmation.
    bool isBusy() const;

    Ui::MainWindow *ui = nullptr;
    std::unique_ptr<SoundPlayer> m_soundPlayer;
    // Replaced by a fresh one for every slicing run.
    Slicer *slicer = nullptr;
    QFileDialog *m_fileDialog = nullptr;
    QString m_vekFilePath;
    QString m_vekFolderPath;
    QTime printStopwatch;
    QSettings *m_resinDatabase = nullptr;
    QTranslator *m_translator = nullptr;
    QTimer *m_printerCheckTimer = nullptr;
    QTimer *m_printFrequencyTimer = nullptr;
    QTimer *m_remainingTimeTimer = nullptr;
    // Connection page (printer/connectionpage.cpp): the printers of the last scan, in the order
    // of cboArduinoPorts, and the current one.
    QList<Printer *> printers;
    Printer *printer = nullptr;
    int checkFailures = 0;
    bool uiReady = false;
};

#include "app/mainwindow.h"

#include <QAbstractItemView>
#include <QFileDialog>
#include <QKeySequence>
#include <QLocale>
#include <QShortcut>
#include <QTimer>
#include <QTranslator>

#include "app/aboutdialog.h"
#include "app/constants.h"
#include "app/soundplayer.h"
#include "settings/settingsvalues.h"
#include "slicing/slicer.h"
#include "ui_mainwindow.h"

MainWindow::MainWindow(std::unique_ptr<SoundPlayer> soundPlayer, QWidget *parent)
    : QMainWindow(parent)
    , m_soundPlayer(std::move(soundPlayer))
{
    // The order below is the assembly order of the whole application: later steps use objects
    // made by earlier ones, and later subsystems take their place in it.

    // 1. Translator; no job loaded yet.
    m_translator = new QTranslator(this);

    // 2. Working folders, then the form (fixed size, locale and style sheet come with it).
    fixPaths();
    m_resinDatabase = nullptr;
    ui = new Ui::MainWindow;
    ui->setupUi(this);

    // 3. Resin database.
    // 4. Layer increments in microns; the first becomes current.
    ui->cboZIncrement->addItems({QStringLiteral("100"), QStringLiteral("50")});
    // 5. Resin list from the database.

    // 6. Focus, first page, base option, controls this version keeps hidden.
    setFocusPolicy(Qt::StrongFocus);
    ui->stackedWidget->setCurrentIndex(0);
    ui->checkBoxAddBase->setChecked(true);
    hideContents();

    // 7. Jog and zoom buttons repeat while held down.
    ui->btnUp->setAutoRepeat(true);
    ui->btnDown->setAutoRepeat(true);
    ui->btnZoomIn->setAutoRepeat(true);
    ui->btnZoomOut->setAutoRepeat(true);
    ui->checkBoxSuGiu->setChecked(true);
    ui->previewSlider->setEnabled(false);

    // 8. Model list.
    ui->listView->setSelectionMode(QAbstractItemView::ContiguousSelection);
    ui->listView->setEnabled(true);
    ui->listView->setEditTriggers(QAbstractItemView::NoEditTriggers);

    // 9.
    ui->btnLoadStl->setEnabled(true);
    ui->btnRemoveStl->setEnabled(false);
    ui->btnTestLayers->setEnabled(false);

    // 10. No print timed yet, no job file.
    printStopwatch = QTime();
    m_vekFilePath = VEK_UNDEF_STR;
    m_vekFolderPath = VEK_UNDEF_STR;

    // 11. Settings dialog, slicer, projector.
    slicer = new Slicer(this);
    // 12. The projector window goes black at once on a two-screen desktop.
    // 13. Logger, keep-awake, the shared file dialog, print model and print thread.
    m_fileDialog = new QFileDialog(this);

    // 14. Timers, none started here.
    m_printerCheckTimer = new QTimer(this);
    m_printerCheckTimer->setInterval(11000);
    m_remainingTimeTimer = new QTimer(this);
    m_remainingTimeTimer->setInterval(1100);
    m_printFrequencyTimer = new QTimer(this);
    m_printFrequencyTimer->setInterval(500);

    // 15. Update checker.

    // 16. Printing-page times from the settings.
    ui->spinPreMovement->setValue(SETTINGS_PRE_TIME);
    ui->spinPostMovement->setValue(SETTINGS_POST_TIME);
    ui->spinBaseWaitTime->setValue(SETTINGS_BASE_TIME);
    ui->spinFramesDelay->setValue(SETTINGS_WAIT_TIME);

    // 17. 3D view background.
    // 18. Language menu, then the signal connections.
    initActionsConnections();

    // 19. Ready; look for a printer and connect when exactly one answers.
    uiReady = true;
    scanPrinters(true);

    // 20. Plate moves from every page.
    installShortcuts();

    // 21. Per-layer curing-time table.
    setupFramesTimeTable();

    // 22. Printing controls off; projector offset and rotation reset.
    togglePrintingControls(false);

    // 23. Base option as last saved.
    // 24. Update check.
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::initActionsConnections()
{
    connect(ui->actionQuit, &QAction::triggered, this, &MainWindow::on_stlActionQuit);
    connect(ui->actionSettings, &QAction::triggered, this, &MainWindow::showSettingsWindow);
    connect(ui->actionAbout, &QAction::triggered, this, &MainWindow::about);
    connect(m_printerCheckTimer, &QTimer::timeout, this, &MainWindow::on_sltCheckPrinter);
}

void MainWindow::installShortcuts()
{
    auto addShortcut = [this](const QKeySequence &keys, void (MainWindow::*slot)()) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up), &MainWindow::accuratePrinterUp);
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down), &MainWindow::accuratePrinterDown);
    addShortcut(QKeySequence(Qt::Key_Up), &MainWindow::on_btnUp_clicked);
    addShortcut(QKeySequence(Qt::Key_Down), &MainWindow::on_btnDown_clicked);
}

void MainWindow::hideContents()
{
    const QList<QWidget *> hidden = {
            ui->btnReset,
            ui->btnLoadScene,
            ui->grpBoxAdvancedSettings,
            ui->lePosX,
            ui->lePosY,
            ui->lePosZ,
            ui->leRotX,
            ui->leRotY,
            ui->leRotZ,
            ui->sliderRotZ,
            ui->leScaleModel,
            ui->btnResetRotation,
            ui->btnApplyChanges,
            ui->lblDesPosition,
            ui->lblDesPosX,
            ui->lblDesPosY,
            ui->lblDesPosZ,
            ui->lblDesRotation,
            ui->lblDesRotX,
            ui->lblDesRotY,
            ui->lblDesSpin,
            ui->lblDesScaleFactor,
            ui->cboLineThickness,
            ui->lblDesLayerThickness,
    };
    for (QWidget *widget : hidden)
        widget->hide();
    ui->actionLoad_Scene->setVisible(false);
    ui->actionSave_Scene->setVisible(false);
}

void MainWindow::showSettingsWindow()
{
    // Nothing to show until the settings dialog is part of the window.
}

void MainWindow::about()
{
    auto *dialog = new AboutDialog;
    dialog->show();
}

void MainWindow::on_btnGoToCalibration_clicked()
{
    ui->stackedWidget->setCurrentIndex(1);
}

void MainWindow::on_btnBackTo3D_clicked()
{
    ui->stackedWidget->setCurrentIndex(0);
}

void MainWindow::on_btnGoToPrinting_clicked()
{
    ui->stackedWidget->setCurrentIndex(2);
}

void MainWindow::on_btnBackToCalibration_clicked()
{
    ui->stackedWidget->setCurrentIndex(1);
}

#include "gui/mainwindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLibraryInfo>
#include <QLocale>
#include <QMimeData>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>

#include "base/constants.h"
#include "base/settingsvalues.h"
#include "gui/aboutdialog.h"
#include "gui/calibrationpage.h"
#include "gui/dialogs.h"
#include "gui/modelpage.h"
#include "gui/printingpage.h"
#include "gui/settingswindow.h"
#include "gui/soundplayer.h"
#include "printer/printer.h"
#include "printing/printrun.h"
#include "projector/projector.h"
#include "settings/settingsstore.h"
#include "slicing/slicer.h"
#include "ui_mainwindow.h"
#include "update/updatechecker.h"

namespace {

const QString ADD_BASE_KEY = QStringLiteral("add_base");
const QString ENGLISH = QStringLiteral("en");
constexpr int STATUS_NOTE_MS = 3000;
const QString EXTRA_PORTS_KEY = QStringLiteral("extra_serial_ports");
// Another address for the update service: a site's mirror, or a local one for tests.
const QString UPDATE_URL_KEY = QStringLiteral("update_url");

} // namespace

MainWindow::MainWindow(WindowEnvironment environment, QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::MainWindow>())
    , m_environment(std::move(environment))
    , m_printerConnection([this] { return printerPorts(); })
{
    // Working folders first, then the form (fixed size, locale and style sheet come with it).
    fixPaths();
    if (!m_environment.settingsPath.isEmpty())
        SETTINGS_PATH = m_environment.settingsPath;
    ui->setupUi(this);
    setFocusPolicy(Qt::StrongFocus);
    ui->actionLoad_Scene->setVisible(false);
    ui->actionSave_Scene->setVisible(false);

    // The resin list follows the built-in resin; the settings are read after it, and the pages
    // made after them take their times from them.
    m_slicer = new Slicer(this);
    m_modelPage = new ModelPage(*m_slicer, *m_environment.sounds, *m_environment.dialogs);
    m_modelPage->fillResins();
    m_settingsStore = new SettingsStore(SETTINGS_PATH, this);
    m_settingsStore->load();
    m_settingsWindow = new SettingsWindow(*m_settingsStore, *m_environment.dialogs, this);
    // A connected projector shows black from the first moment.
    m_projector = std::make_unique<Projector>();
    if (QGuiApplication::screens().size() == 2) {
        m_projector->showProjector();
        m_projector->blackImage();
    }
    m_printRun = std::make_unique<PrintRun>(*m_projector);
    m_printerCheckTimer = new QTimer(this);
    m_printerCheckTimer->setInterval(11000);
    const QString updateUrl = m_settingsStore
                                      ->readParameter(UPDATE_URL_KEY, SETTINGS_PROGRAM_SECTION,
                                                      UpdateChecker::WEB_SERVICE_URL)
                                      .toString();
    m_updateChecker = new UpdateChecker(this, QUrl(updateUrl));

    m_calibrationPage = new CalibrationPage(m_printerConnection, *m_printerCheckTimer, *m_printRun,
                                            *m_projector, *m_settingsStore, *m_environment.sounds,
                                            *m_environment.dialogs);
    PrintSurroundings surroundings;
    surroundings.printer = [this] { return m_printerConnection.current(); };
    surroundings.projectorPlaced = [this] { return m_projector->isActive(); };
    surroundings.logContext = [this] { return m_modelPage->printLogContext(); };
    m_printingPage = new PrintingPage(*m_environment.dialogs, *m_environment.sounds,
                                      *m_settingsStore, *m_printRun, std::move(surroundings));
    ui->stackedWidget->addWidget(m_modelPage);
    ui->stackedWidget->addWidget(m_calibrationPage);
    ui->stackedWidget->addWidget(m_printingPage);

    m_printingPage->setAddsBase(
            m_settingsStore->readParameter(ADD_BASE_KEY, SETTINGS_PROGRAM_SECTION, false).toBool());

    setAcceptDrops(true);
    createLanguageMenu();
    initActionsConnections();
    if (SETTINGS_TOOLTIPS_ON)
        setupToolTips();
    // Look for a printer and connect when exactly one answers.
    m_calibrationPage->scanPrinters(true);
    installShortcuts();
    m_constructed = true;
    m_updateChecker->check();
}

MainWindow::~MainWindow() = default;

void MainWindow::initActionsConnections()
{
    connect(ui->actionQuit, &QAction::triggered, this, &MainWindow::on_stlActionQuit);
    connect(ui->actionSettings, &QAction::triggered, this, &MainWindow::showSettingsWindow);
    connect(ui->actionAbout, &QAction::triggered, this, &MainWindow::about);
    // The tooltip switch of the settings dialog reaches the window too.
    connect(m_settingsWindow, &SettingsWindow::sgnShowToolTips, this, &MainWindow::setupToolTips);
    connect(m_settingsWindow, &SettingsWindow::sgnHideToolTips, this, &MainWindow::unsetToolTips);
    connect(m_printerCheckTimer, &QTimer::timeout, m_calibrationPage,
            &CalibrationPage::on_sltCheckPrinter);
    connect(m_calibrationPage, &CalibrationPage::sgnStatusNote, statusBar(),
            &QStatusBar::showMessage);
    connect(m_printingPage, &PrintingPage::sgnStatusNote, statusBar(), &QStatusBar::showMessage);
    connect(m_modelPage, &ModelPage::sgnStatusNote, statusBar(), &QStatusBar::showMessage);
    // The connection check rests while a print runs; it resumes at the next connection.
    connect(m_printingPage, &PrintingPage::sgnPrintStarting, m_printerCheckTimer, &QTimer::stop);
    // The projector placed from the calibration page opens the print settings; the grid gives
    // way to a print or the layer test.
    connect(m_calibrationPage, &CalibrationPage::sgnProjectorPlaced, m_printingPage,
            &PrintingPage::on_sltProjectorPlaced);
    for (auto signal : {&PrintingPage::sgnPrintStarting, &PrintingPage::sgnPrintEnded,
                        &PrintingPage::sgnLayerTestStarting})
        connect(m_printingPage, signal, m_calibrationPage, &CalibrationPage::on_sltGridOffScreen);
    // A finished slicing run's job is shown on the printing page at once.
    connect(m_slicer, &Slicer::sgnNotifyVekCreation, m_printingPage, &PrintingPage::setVekFilePath);
    connect(m_updateChecker, &UpdateChecker::updateAvailable, this,
            &MainWindow::on_UpdateAvailable);

    auto showPage = [this](QWidget *page) { ui->stackedWidget->setCurrentWidget(page); };
    connect(m_modelPage, &ModelPage::sgnGoToCalibration, this,
            [=] { showPage(m_calibrationPage); });
    connect(m_calibrationPage, &CalibrationPage::sgnBackTo3D, this, [=] { showPage(m_modelPage); });
    connect(m_calibrationPage, &CalibrationPage::sgnGoToPrinting, this,
            [=] { showPage(m_printingPage); });
    connect(m_printingPage, &PrintingPage::sgnBackToCalibration, this,
            [=] { showPage(m_calibrationPage); });

    // Clicking one of the two source groups disables the other.
    connect(m_modelPage, &ModelPage::sgnModelGroupClicked, m_printingPage,
            [this](bool checked) { m_printingPage->setJobGroupEnabled(!checked); });
    connect(m_printingPage, &PrintingPage::sgnJobGroupClicked, m_modelPage,
            [this](bool checked) { m_modelPage->setModelGroupEnabled(!checked); });
}

namespace {

// The files this window opens, by their suffix.
bool isModelFile(const QString &path)
{
    return path.endsWith(QLatin1String(".stl"), Qt::CaseInsensitive);
}

bool isJobFile(const QString &path)
{
    return path.endsWith(QLatin1String(".vek"), Qt::CaseInsensitive);
}

QStringList openableFiles(const QMimeData *data)
{
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        const QString path = url.toLocalFile();
        if (isModelFile(path) || isJobFile(path))
            paths.append(path);
    }
    return paths;
}

} // namespace

void MainWindow::openFiles(const QStringList &paths)
{
    for (const QString &named : paths) {
        // The model list keeps the path the Slice button reads, whatever the folder is later.
        const QString path = QFileInfo(named).absoluteFilePath();
        if (isModelFile(path)) {
            ui->stackedWidget->setCurrentWidget(m_modelPage);
            m_modelPage->loadModel(path);
        } else if (isJobFile(path)) {
            ui->stackedWidget->setCurrentWidget(m_printingPage);
            m_printingPage->setVekFilePath(path);
        } else {
            m_environment.dialogs->critical(
                    this,
                    tr("%1 cannot be opened: Kelvarome opens .stl models and .vek jobs.")
                            .arg(path));
        }
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!openableFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QStringList paths = openableFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    openFiles(paths);
}

void MainWindow::createLanguageMenu()
{
    auto *languages = new QActionGroup(ui->menuLanguage);
    languages->setExclusive(true);
    connect(languages, &QActionGroup::triggered, this, &MainWindow::slotLanguageChanged);
    // English is the language of the forms: choosing it removes the translation.
    ui->actionEnglish->setData(ENGLISH);
    languages->addAction(ui->actionEnglish);

    if (QDir().mkpath(TRNSLT_WORKING_DIR)) {
        const QStringList files = QDir(TRNSLT_WORKING_DIR)
                                          .entryList({QStringLiteral("language_*.qm")}, QDir::Files,
                                                     QDir::Name | QDir::IgnoreCase);
        for (const QString &file : files) {
            const QString code =
                    file.left(file.lastIndexOf(QLatin1Char('.'))).section(QLatin1Char('_'), 1);
            QAction *action = ui->menuLanguage->addAction(
                    QLocale::languageToString(QLocale(code).language()));
            action->setCheckable(true);
            action->setData(code);
            languages->addAction(action);
        }
    }

    const QString systemName = QLocale::system().name();
    const QString systemCode = systemName.contains(QLatin1Char('_'))
            ? systemName.left(systemName.lastIndexOf(QLatin1Char('_')))
            : QString();
    // On the first run the system's language is marked, but English stays until one is chosen.
    const bool firstRun = SETTINGS_LANGUAGE == SETTINGS_DEF_LANGUAGE;
    const QString wanted = firstRun ? systemCode : SETTINGS_LANGUAGE;
    for (QAction *action : languages->actions())
        action->setChecked(action->data().toString() == wanted);
    if (!firstRun)
        loadLanguage(wanted);
}

void MainWindow::slotLanguageChanged(QAction *action)
{
    if (!action)
        return;
    const QString code = action->data().toString();
    loadLanguage(code);
    m_settingsStore->savePreferredLanguage(code);
}

void MainWindow::loadLanguage(const QString &code)
{
    if (code == m_currentLanguage)
        return;
    m_currentLanguage = code;
    QLocale::setDefault(QLocale(code));
    // Removing the translation sends the forms back to English; another is installed only when
    // its file loads.
    QCoreApplication::removeTranslator(&m_translator);
    QCoreApplication::removeTranslator(&m_qtTranslator);
    if (m_translator.load(TRNSLT_WORKING_DIR + QStringLiteral("language_%1.qm").arg(code))) {
        QCoreApplication::installTranslator(&m_translator);
        if (m_qtTranslator.load(QStringLiteral("qtbase_") + code,
                                QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&m_qtTranslator);
    }
    if (m_constructed)
        statusBar()->showMessage(
                tr("Current language switched to %1").arg(QLocale(code).nativeLanguageName()),
                STATUS_NOTE_MS);
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        if (SETTINGS_TOOLTIPS_ON)
            setupToolTips();
    } else if (event->type() == QEvent::LocaleChange && m_constructed) {
        const QString systemName = QLocale::system().name();
        loadLanguage(systemName.left(systemName.lastIndexOf(QLatin1Char('_'))));
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::setupToolTips()
{
    m_modelPage->setToolTipsShown(true);
    m_calibrationPage->setToolTipsShown(true);
    m_printingPage->setToolTipsShown(true);
}

void MainWindow::unsetToolTips()
{
    m_modelPage->setToolTipsShown(false);
    m_calibrationPage->setToolTipsShown(false);
    m_printingPage->setToolTipsShown(false);
}

void MainWindow::installShortcuts()
{
    auto addShortcut = [this](const QKeySequence &keys, void (CalibrationPage::*slot)()) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, m_calibrationPage, slot);
    };
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up), &CalibrationPage::accuratePrinterUp);
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down), &CalibrationPage::accuratePrinterDown);
    addShortcut(QKeySequence(Qt::Key_Up), &CalibrationPage::on_btnUp_clicked);
    addShortcut(QKeySequence(Qt::Key_Down), &CalibrationPage::on_btnDown_clicked);
}

void MainWindow::showSettingsWindow()
{
    m_settingsWindow->show();
}

void MainWindow::about()
{
    auto *dialog = new AboutDialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void MainWindow::on_UpdateAvailable()
{
    const QString link =
            QStringLiteral("<a href=\"%1\">%1</a>").arg(UpdateChecker::DOWNLOAD_PAGE_URL);
    m_environment.dialogs->notice(this, tr("New update available!"),
                                  tr("There is a new update. Download it on: ") + link);
}

void MainWindow::on_stlActionQuit()
{
    if (!isBusy() || askQuitConfirm(QMessageBox::Yes) == QMessageBox::Yes)
        quitEvent();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!isBusy()) {
        quitEvent();
        return;
    }
    if (askQuitConfirm(QMessageBox::No) == QMessageBox::Yes) {
        quitEvent();
        event->accept();
    } else {
        event->ignore();
    }
}

QMessageBox::StandardButton MainWindow::askQuitConfirm(QMessageBox::StandardButton defaultButton)
{
    return m_environment.dialogs->question(this, tr("Are you sure you want to quit?"),
                                           defaultButton);
}

// Leaves the printer and the projector safe before the event loop ends.
void MainWindow::quitEvent()
{
    m_printerCheckTimer->stop();

    m_environment.dialogs->warning(
            this, tr("Remember to SHUTDOWN videoprojector or it will destroy the resin"));

    // A print still running ends properly first: motor released, LEDs off, the log closed.
    if (m_printRun->isPrinting())
        m_printRun->abort();
    if (Printer *printer = m_printerConnection.current())
        printer->closeConnection();

    m_settingsStore->saveFrameTime(m_printingPage->curingTimeMs());
    m_settingsStore->saveScaleFactor(m_projector->scaleFactor());
    m_settingsStore->saveParameter(ADD_BASE_KEY, m_printingPage->addsBase(),
                                   SETTINGS_PROGRAM_SECTION);
    m_settingsWindow->saveAllSettings();
    QApplication::quit();
}

QStringList MainWindow::printerPorts() const
{
    // Device paths the system does not list (Bluetooth serial ports, udev links, a virtual
    // printer) are probed too when the settings name them.
    QStringList ports = m_environment.printerPorts();
    const QStringList extra =
            m_settingsStore->readParameter(EXTRA_PORTS_KEY, SETTINGS_PRINTER_SECTION, QString())
                    .toStringList();
    for (const QString &port : extra) {
        if (!port.trimmed().isEmpty())
            ports.append(port.trimmed());
    }
    return ports;
}

bool MainWindow::isBusy() const
{
    return m_slicer->isSlicing() || m_printRun->isPrinting();
}

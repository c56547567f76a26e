#pragma once

#include <memory>

#include <QMainWindow>
#include <QMessageBox>
#include <QTranslator>

#include "printer/printerconnection.h"

class CalibrationPage;
class Dialogs;
class ModelPage;
class PrintingPage;
class PrintRun;
class Projector;
class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QTimer;
class SettingsStore;
class SettingsWindow;
class Slicer;
class SoundPlayer;
class UpdateChecker;

namespace Ui {
class MainWindow;
}

// What the window reaches outside itself. The application passes the sound card, modal dialogs
// and the system's serial ports; tests pass recording and virtual ones.
struct WindowEnvironment
{
    std::unique_ptr<SoundPlayer> sounds;
    std::unique_ptr<Dialogs> dialogs;
    PortLister printerPorts;
    // The settings file; empty for "settings.ini" beside the executable.
    QString settingsPath;
};

// The one top-level window: it builds the three pages, wires them together and owns every
// long-lived object (the slicer, the printer connection and its check timer, the sounds).
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(WindowEnvironment environment, QWidget *parent = nullptr);
    ~MainWindow() override;

    QTimer *printerCheckTimer() const { return m_printerCheckTimer; }

    // Opens STL models as Load STL does and job files as the job's Load does: files named on the
    // command line and files dropped on the window.
    void openFiles(const QStringList &paths);

    // Tells the user that a newer version can be downloaded (the update check's answer).
    void on_UpdateAvailable();

public slots:
    void slotLanguageChanged(QAction *action);
    // The explanatory tooltips of every page, set in the language in force, or cleared.
    void setupToolTips();
    void unsetToolTips();
    void on_stlActionQuit();
    void showSettingsWindow();
    void about();
    QMessageBox::StandardButton askQuitConfirm(QMessageBox::StandardButton defaultButton);
    void quitEvent();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The Language menu: English and every translation found in the translations folder.
    void createLanguageMenu();
    void loadLanguage(const QString &code);
    void initActionsConnections();
    void installShortcuts();
    QStringList printerPorts() const;
    // True while a slicing run or a print is under way: quitting then needs confirmation.
    bool isBusy() const;

    std::unique_ptr<Ui::MainWindow> ui;
    WindowEnvironment m_environment;
    PrinterConnection m_printerConnection;
    SettingsStore *m_settingsStore = nullptr;
    SettingsWindow *m_settingsWindow = nullptr;
    std::unique_ptr<Projector> m_projector;
    // Declared after the projector: a print still running ends before the projector goes.
    std::unique_ptr<PrintRun> m_printRun;
    QTimer *m_printerCheckTimer = nullptr;
    Slicer *m_slicer = nullptr;
    ModelPage *m_modelPage = nullptr;
    CalibrationPage *m_calibrationPage = nullptr;
    PrintingPage *m_printingPage = nullptr;
    UpdateChecker *m_updateChecker = nullptr;
    QTranslator m_translator;
    // Qt's own texts: the standard buttons of the message boxes and dialogs.
    QTranslator m_qtTranslator;
    QString m_currentLanguage;
    bool m_constructed = false;
};

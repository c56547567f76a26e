#pragma once

#include <QMetaEnum>
#include <QStringList>
#include <QTemporaryDir>

#include "base/constants.h"
#include "gui/dialogs.h"
#include "gui/mainwindow.h"
#include "gui/soundplayer.h"
#include "settings/settingsstore.h"

// The main window's surroundings for tests: sounds and message boxes are recorded instead of
// played and shown, and the printer scan probes the ports the test names.
namespace WindowSupport {

class RecordingSoundPlayer : public SoundPlayer
{
public:
    QStringList played;

protected:
    void playResource(const QString &resourcePath) override { played.append(resourcePath); }
};

// Notes each box as "<Icon> <title>: <text>" and answers it with the next queued answer, or
// with its default button (OK for a box without one). The choosers return the next queued
// path, or nothing (cancelled), and note their caption and starting folder.
class RecordingDialogs : public Dialogs
{
public:
    QStringList shown;
    QList<QMessageBox::StandardButton> defaultButtons;
    QList<QMessageBox::StandardButton> answers;
    QStringList chosenPaths;
    QStringList choosers;

    QMessageBox::StandardButton show(QWidget *, QMessageBox::Icon icon, const QString &title,
                                     const QString &text, QMessageBox::StandardButtons,
                                     QMessageBox::StandardButton defaultButton) override
    {
        shown << QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(icon) + (' ' + title) + ": "
                        + text;
        defaultButtons << defaultButton;
        if (!answers.isEmpty())
            return answers.takeFirst();
        return defaultButton == QMessageBox::NoButton ? QMessageBox::Ok : defaultButton;
    }
    void notice(QWidget *parent, const QString &title, const QString &richText) override
    {
        show(parent, QMessageBox::NoIcon, title, richText, QMessageBox::Ok, QMessageBox::NoButton);
    }
    QString openFileName(QWidget *, const QString &caption, const QString &folder,
                         const QString &) override
    {
        return choose(caption, folder);
    }
    QString existingDirectory(QWidget *, const QString &caption, const QString &folder) override
    {
        return choose(caption, folder);
    }

private:
    QString choose(const QString &caption, const QString &folder)
    {
        choosers << caption + " in " + folder;
        return chosenPaths.isEmpty() ? QString() : chosenPaths.takeFirst();
    }
};

// Nothing listens there: a test window's update check fails at once, without the network.
inline const QString CLOSED_UPDATE_URL = "http://127.0.0.1:1/checkupdate_kelvarome.php";

// A main window whose settings file and Documents folder lie in a folder of its own, and whose
// update check asks `updateUrl`.
struct TestWindow
{
    QTemporaryDir home;
    RecordingSoundPlayer *sounds = nullptr;
    RecordingDialogs *dialogs = nullptr;
    QStringList ports;
    std::unique_ptr<MainWindow> window;

    TestWindow(const TestWindow &) = delete;
    TestWindow &operator=(const TestWindow &) = delete;
    explicit TestWindow(const QStringList &portLocations = {},
                        const QString &updateUrl = CLOSED_UPDATE_URL)
        : ports(portLocations)
    {
        GEN_PATH = QStringList{home.filePath(QStringLiteral("Documents"))};
        // The settings file as a first run makes it, then the update service's address.
        fixPaths();
        SettingsStore settings(home.filePath("settings.ini"));
        settings.load();
        settings.saveParameter("update_url", updateUrl, SETTINGS_PROGRAM_SECTION);
        build();
    }

    // The program's next run: a new window on the same settings file and folders.
    void restart()
    {
        window.reset();
        build();
    }

    template <typename T = QWidget>
    T *find(const char *name = nullptr) const
    {
        return name ? window->findChild<T *>(QLatin1String(name)) : window->findChild<T *>();
    }

private:
    void build()
    {
        auto player = std::make_unique<RecordingSoundPlayer>();
        auto recordingDialogs = std::make_unique<RecordingDialogs>();
        sounds = player.get();
        dialogs = recordingDialogs.get();
        window = std::make_unique<MainWindow>(
                WindowEnvironment{std::move(player), std::move(recordingDialogs),
                                  [this] { return ports; }, home.filePath("settings.ini")});
    }
};

} // namespace WindowSupport

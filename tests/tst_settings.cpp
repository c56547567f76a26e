#include <tuple>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "base/constants.h"
#include "base/resinprices.h"
#include "base/settingsvalues.h"
#include "gui/databaselist.h"
#include "gui/settingswindow.h"
#include "settings/equipmentdatabase.h"
#include "settings/settingsstore.h"
#include "tests/testsupport.h"
#include "tests/windowsupport.h"

using namespace TestSupport;

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(gui); }
    void init();
    void fileIsCreatedSavedAndEditedByHand();
    void databases();
    void dialogSavesOnlyRealChangesAndAsksBeforeLosingThem();
    void fileThatCannotBeWrittenChangesNothing();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString folder(const QString &name) const
    {
        QDir(m_dir->path()).mkpath(name);
        return path(name) + '/';
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

// Every test starts from the built-in values, its folders in a temporary folder of its own.
void TestSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    STL_PATH_LOCATION = folder("STL-Files");
    SLICER_WORKING_DIR = folder("SlicedModels");
    SETTINGS_DEF_PROJECTOR = "Generic Custom";
    SETTINGS_DEF_RESIN = "FunToDo Standard Blend Black";
    SETTINGS_LANGUAGE = "English";
    SETTINGS_GRID_FACTOR = SETTINGS_BUILTIN_GRID_FACTOR;
    SETTINGS_PRE_TIME = SETTINGS_BUILTIN_PRE_TIME;
    SETTINGS_WAIT_TIME = SETTINGS_BUILTIN_WAIT_TIME;
    SETTINGS_POST_TIME = SETTINGS_BUILTIN_POST_TIME;
    SETTINGS_BASE_TIME = SETTINGS_BUILTIN_BASE_TIME;
}

void TestSettings::fileIsCreatedSavedAndEditedByHand()
{
    const auto times = [] {
        return std::tuple(SETTINGS_PRE_TIME, SETTINGS_WAIT_TIME, SETTINGS_POST_TIME,
                          SETTINGS_BASE_TIME);
    };
    // The first run writes the file, the scale factor as a float, and reads it.
    SettingsStore store(path("settings.ini"));
    QSignalSpy loaded(&store, &SettingsStore::sgnLoaded);
    QVERIFY(store.load() && loaded.size() == 1 && SETTINGS_TOOLTIPS_ON);
    QCOMPARE(QString::fromUtf8(readFile(store.path())),
             QString("[PrintSettings]\naudio_enabled=false\ndef_projector=Generic Custom\n"
                     "def_resin=FunToDo Standard Blend Black\npath_slicedmodels=%1\npath_stl=%2\n"
                     "tooltips_enabled=true\n\n[ProgramSettings]\n"
                     "base_exposure_time=6000\nframe_exposure_time=6000\n"
                     "grid_scale_factor=@Variant(\\0\\0\\0\\x87@\\x80\\0\\0)\nlanguage=FirstRun\n"
                     "post_movement_time=1500\npre_movement_time=500\n")
                     .arg(SLICER_WORKING_DIR, STL_PATH_LOCATION));

    // Each save writes the file and reads it back; values that would not be usable are refused.
    QVERIFY(store.saveScaleFactor(4.1f) && store.saveFrameTime(8000) && store.savePreMovementTime(0)
            && store.savePostMovementTime(2500) && store.saveBaseWaitTime(9000)
            && store.savePreferredLanguage("Deutsch"));
    QVERIFY(!store.saveScaleFactor(0.0f) && !store.saveScaleFactor(qInf())
            && !store.saveFrameTime(0) && !store.saveBaseWaitTime(-1)
            && !store.savePreMovementTime(-500));
    QVERIFY(loaded.size() == 7 && SETTINGS_GRID_FACTOR == 4.1f && SETTINGS_LANGUAGE == "Deutsch");
    QCOMPARE(times(), std::tuple(0, 8000, 2500, 9000));
    QVERIFY(readFile(store.path()).contains("grid_scale_factor=@Variant("));
    QVERIFY(readFile(store.path()).contains("grid_scale_factor_readable=4.1\n"));

    // Free keys: written at once, no reload.
    QVERIFY(store.saveParameter("add_base", true, "ProgramSettings") && loaded.size() == 7);
    QVERIFY(store.readParameter("add_base", "ProgramSettings", false).toBool());
    QCOMPARE(store.readParameter("missing", "ProgramSettings", 42).toInt(), 42);

    // The dialog's values, the hidden ones included (the dialog's test follows the others).
    QVERIFY(store.saveAll({STL_PATH_LOCATION, SLICER_WORKING_DIR, "Acer P1500", "Pentholac HS Grey",
                           true, false, 1000, 3000}));
    QVERIFY(loaded.size() == 8 && SETTINGS_DEF_RESIN == "Pentholac HS Grey" && SETTINGS_SOUNDS_ON);
    QCOMPARE(times(), std::tuple(1000, 8000, 3000, 9000));

    // Edited by hand: a key removed keeps the value in force, the bools read false...
    QVERIFY(writeFile(store.path(), "") && store.load());
    QVERIFY(SETTINGS_GRID_FACTOR == 4.1f && !SETTINGS_SOUNDS_ON && SETTINGS_LANGUAGE == "Deutsch");
    QCOMPARE(times(), std::tuple(1000, 8000, 3000, 9000));
    // ...and a value that cannot be used gives the built-in one. The file stays as it is.
    const QString other = folder("Other");
    const QByteArray edited =
            QString("[PrintSettings]\npath_stl=%1\npath_slicedmodels=%2/\ntooltips_enabled=true\n"
                    "[ProgramSettings]\ngrid_scale_factor=inf\npost_movement_time=fast\n"
                    "frame_exposure_time=-200\nbase_exposure_time=0\n")
                    .arg(other.chopped(1), path("Gone"))
                    .toUtf8();
    QVERIFY(writeFile(store.path(), edited) && store.load());
    QVERIFY(STL_PATH_LOCATION == other && SLICER_WORKING_DIR == path("SlicedModels/"));
    QVERIFY(SETTINGS_TOOLTIPS_ON && SETTINGS_GRID_FACTOR == 4.0f);
    QCOMPARE(times(), std::tuple(1000, 6000, 1500, 6000));
    QCOMPARE(readFile(store.path()), edited);

    // A subgroup written as a section of its own hides none of its parent's keys, before or
    // after a save merges the two.
    const QString third = folder("Third");
    QVERIFY(writeFile(store.path(),
                      QString("[PrintSettings]\ndef_projector=Optoma DX325\npath_stl=%1\n"
                              "[PrintSettings/extra]\nnote=1\n")
                              .arg(third)
                              .toUtf8())
            && store.load());
    QVERIFY(STL_PATH_LOCATION == third && SETTINGS_DEF_PROJECTOR == "Optoma DX325");
    QVERIFY(store.saveFrameTime(7000) && SETTINGS_WAIT_TIME == 7000);
    QVERIFY(STL_PATH_LOCATION == third && SETTINGS_DEF_PROJECTOR == "Optoma DX325");
    QCOMPARE(store.readParameter("note", "PrintSettings/extra", 0).toInt(), 1);
}

void TestSettings::databases()
{
    COSTO_FTD_SB = COSTO_FTD_IB = COSTO_FTD_CB = COSTO_PTL_HS = COSTO_PTL_CB = 0.0f;
    updateResinPrices(readDatabase(RESINS_DB));
    QCOMPARE((QVector<float>{COSTO_FTD_SB, COSTO_FTD_IB, COSTO_FTD_CB, COSTO_PTL_HS, COSTO_PTL_CB}),
             (QVector<float>{45, 55, 65, 80, 100}));

    // Group names sort as text; the last matching entry sets the price; a cost that is not a
    // price sets none.
    QVERIFY(writeFile(path("resins.cfg"),
                      "# Test resins\n"
                      "[id0]\nbrand=Pentholac\nmodel=HS\ncolor=Teal\ncost=90\n"
                      "[id1]\nbrand=Pentholac\nmodel=HS\ncolor=Grey\ncost=80\n"
                      "[id10]\nmodel=Standard\ncolor=Red\ncost=abc\n"
                      "[id2]\nbrand=FunToDo\nmodel=Standard\ncolor=Grey\ncost=-3\n"));
    const std::vector<DatabaseEntry> resins = readDatabase(path("resins.cfg"));
    QVERIFY(resins.size() == 4 && resins[2].text == "UNDEFINED Standard Red");
    COSTO_FTD_SB = 1.0f;
    updateResinPrices(resins);
    QVERIFY(COSTO_PTL_HS == 80.0f && COSTO_FTD_SB == 1.0f);

    // The lists select the stored choice, a resin where the entries have colours, or keep the
    // first item for one they do not have; the items already listed stay.
    SETTINGS_DEF_RESIN = "Pentholac HS Grey";
    SETTINGS_DEF_PROJECTOR = "Optoma DX325";
    QComboBox resinList, projectorList;
    fillDbComboBox(resins, &resinList);
    fillDbComboBox(readDatabase(PROJECTORS_DB), &projectorList);
    QVERIFY(resinList.currentIndex() == 1 && projectorList.currentText() == "Acer P1500");
    QVERIFY(writeFile(path("plain.cfg"),
                      "[id0]\nbrand=Acme\nmodel=Clear\ncost=12\n"
                      "[id1]\nbrand=Optoma\nmodel=DX325\n"));
    fillDbComboBox(readDatabase(path("plain.cfg")), &projectorList);
    QVERIFY(projectorList.count() == 4 && projectorList.currentIndex() == 3);
}

void TestSettings::dialogSavesOnlyRealChangesAndAsksBeforeLosingThem()
{
    SettingsStore store(path("settings.ini"));
    QVERIFY(store.load());
    WindowSupport::RecordingDialogs dialogs;
    SettingsWindow window(store, dialogs, nullptr);
    QSignalSpy loaded(&store, &SettingsStore::sgnLoaded);
    QSignalSpy hidden(&window, &SettingsWindow::sgnHideToolTips);
    auto *projectors = window.findChild<QComboBox *>("cboProjectors");
    auto *sounds = window.findChild<QCheckBox *>("checkBoxSounds");
    auto *save = window.findChild<QPushButton *>("btnSaveSettings");
    auto *chooseStl = window.findChild<QPushButton *>("btnStlArchive");

    // Toggling twice, or choosing the folder already set (the chooser gives it back without its
    // final "/"), is no change: Save does nothing.
    sounds->click();
    sounds->click();
    dialogs.chosenPaths = QStringList{STL_PATH_LOCATION.chopped(1)};
    chooseStl->click();
    save->click();
    QVERIFY(loaded.isEmpty() && hidden.isEmpty());

    // Another folder is a change, saved with "/" at its end; cancelling keeps the one shown.
    const QString other = folder("Other");
    dialogs.chosenPaths = QStringList{other.chopped(1)};
    chooseStl->click();
    chooseStl->click();
    projectors->setCurrentText("Acer P1500");
    window.findChild<QCheckBox *>("checkBoxToolTips")->click();
    save->click();
    QVERIFY(loaded.size() == 1 && STL_PATH_LOCATION == other);
    QVERIFY(SETTINGS_DEF_PROJECTOR == "Acer P1500" && !SETTINGS_TOOLTIPS_ON && hidden.size() == 1);

    // Saves made elsewhere show in the form, which stays clean.
    QVERIFY(store.savePostMovementTime(2000));
    QVERIFY(window.formValues().postMovementMs == 2000 && !window.isDirty());

    // Nothing changed: Close closes without a question.
    const QByteArray stored = readFile(store.path());
    auto *close = window.findChild<QPushButton *>("btnCloseSettings");
    window.show();
    close->click();
    QVERIFY(!window.isVisible() && dialogs.shown.isEmpty());

    // A projector change alone: No keeps the dialog open with it; Escape asks the same, and Yes
    // gives it up: nothing is written.
    window.show();
    projectors->setCurrentText("Generic Custom");
    dialogs.answers = {QMessageBox::No, QMessageBox::Yes};
    close->click();
    QVERIFY(window.isVisible());
    QCOMPARE(dialogs.shown,
             QStringList{"Question Alert: Are you sure you want to quit without saving?"});
    QCOMPARE(dialogs.defaultButtons, {QMessageBox::No});
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible() && dialogs.shown.size() == 2);
    QVERIFY(projectors->currentText() == "Acer P1500" && readFile(store.path()) == stored);

    // Files that can be neither read nor written (a folder; one in a file): nothing is read, and
    // the dialog reports the failed save, the change still unsaved.
    QVERIFY(!SettingsStore(m_dir->path()).load() && writeFile(path("file"), "x"));
    SettingsStore nowhere(path("file/settings.ini"));
    QVERIFY(!nowhere.load() && !nowhere.saveFrameTime(7000));
    QVERIFY(!nowhere.saveParameter("add_base", true, "ProgramSettings"));
    SettingsWindow stranded(nowhere, dialogs, nullptr);
    stranded.findChild<QCheckBox *>("checkBoxSounds")->click();
    stranded.findChild<QPushButton *>("btnSaveSettings")->click();
    QCOMPARE(dialogs.shown.last(),
             "Warning Kelvarome: The settings could not be saved in " + nowhere.path() + ".");
    QVERIFY(stranded.isDirty());
}

void TestSettings::fileThatCannotBeWrittenChangesNothing()
{
    const auto inForce = [] {
        return std::tuple(SETTINGS_WAIT_TIME, SETTINGS_GRID_FACTOR, SETTINGS_LANGUAGE,
                          SETTINGS_SOUNDS_ON, SETTINGS_DEF_PROJECTOR);
    };
    const QString locked = folder("Locked");
    SettingsStore store(locked + "settings.ini");
    QVERIFY(store.load() && store.saveFrameTime(7000));
    const QByteArray stored = readFile(store.path());
    const auto before = inForce();
    {
        // The file and its folder read-only, for root too: every save says it failed, and
        // neither the file nor the values in force change, also when the file is read again.
        const ReadOnly lockedFile(store.path());
        const ReadOnly lockedFolder(locked);
        if (!lockedFile.isReadOnly() || !lockedFolder.isReadOnly())
            QSKIP("Files cannot be made read-only here.");
        QSignalSpy loaded(&store, &SettingsStore::sgnLoaded);
        QVERIFY(!store.saveFrameTime(9000) && !store.saveScaleFactor(5.5f)
                && !store.savePreferredLanguage("Italiano"));
        QVERIFY(!store.saveAll({STL_PATH_LOCATION, SLICER_WORKING_DIR, "Acer P1500",
                                SETTINGS_DEF_RESIN, true, true, 100, 200}));
        QVERIFY(!store.saveParameter("add_base", true, "ProgramSettings"));
        QVERIFY(loaded.isEmpty() && inForce() == before);
        QVERIFY(store.load() && inForce() == before);
        QVERIFY(!store.readParameter("add_base", "ProgramSettings", false).toBool());
        QCOMPARE(readFile(store.path()), stored);

        // The dialog reports it, its change still unsaved.
        WindowSupport::RecordingDialogs dialogs;
        SettingsWindow window(store, dialogs, nullptr);
        window.findChild<QCheckBox *>("checkBoxSounds")->click();
        window.findChild<QPushButton *>("btnSaveSettings")->click();
        QCOMPARE(dialogs.shown,
                 QStringList("Warning Kelvarome: The settings could not be saved in " + store.path()
                             + "."));
        QVERIFY(window.isDirty() && inForce() == before);
    }
    // Writable again: the next save writes its own value and none of those that failed.
    QVERIFY(store.saveBaseWaitTime(8000) && inForce() == before);
    const QByteArray saved = readFile(store.path());
    QCOMPARE(QString(saved),
             QString(stored).replace("base_exposure_time=6000", "base_exposure_time=8000"));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"

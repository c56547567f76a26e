#include "gui/settingswindow.h"

#include <QCloseEvent>

#include "base/constants.h"
#include "base/formatting.h"
#include "base/settingsvalues.h"
#include "gui/databaselist.h"
#include "gui/dialogs.h"
#include "settings/equipmentdatabase.h"
#include "ui_settingswindow.h"

SettingsWindow::SettingsWindow(SettingsStore &store, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::SettingsWindow>())
    , store(store)
    , dialogs(dialogs)
{
    ui->setupUi(this);
    // Kept in the form and saved with it, but not offered to the user.
    const std::initializer_list<QWidget *> hidden = {ui->lblResin,        ui->cboResins,
                                                     ui->lblPreMovement,  ui->spinPreMovement,
                                                     ui->lblPostMovement, ui->spinPostMovement};
    for (QWidget *widget : hidden)
        widget->hide();

    fillFormValues();
    connect(&store, &SettingsStore::sgnLoaded, this, &SettingsWindow::fillFormValues);
    if (SETTINGS_TOOLTIPS_ON)
        setupToolTips();
}

SettingsWindow::~SettingsWindow() = default;

SettingsDialogValues SettingsWindow::formValues() const
{
    SettingsDialogValues values;
    values.stlFolder = ui->leStlArchive->text();
    values.slicedFolder = ui->leSlicerSubDir->text();
    values.projector = ui->cboProjectors->currentText();
    values.resin = ui->cboResins->currentText();
    values.sounds = ui->checkBoxSounds->isChecked();
    values.tooltips = ui->checkBoxToolTips->isChecked();
    values.preMovementMs = ui->spinPreMovement->value();
    values.postMovementMs = ui->spinPostMovement->value();
    return values;
}

void SettingsWindow::fillFormValues()
{
    ui->leStlArchive->setText(STL_PATH_LOCATION);
    ui->leSlicerSubDir->setText(SLICER_WORKING_DIR);
    ui->checkBoxSounds->setChecked(SETTINGS_SOUNDS_ON);
    ui->checkBoxToolTips->setChecked(SETTINGS_TOOLTIPS_ON);
    ui->spinPreMovement->setValue(SETTINGS_PRE_TIME);
    ui->spinPostMovement->setValue(SETTINGS_POST_TIME);
    if (combosFilled) {
        selectListEntry(ui->cboResins, SETTINGS_DEF_RESIN);
        selectListEntry(ui->cboProjectors, SETTINGS_DEF_PROJECTOR);
    } else {
        fillDbComboBox(readDatabase(RESINS_DB), ui->cboResins);
        fillDbComboBox(readDatabase(PROJECTORS_DB), ui->cboProjectors);
        combosFilled = true;
    }
    shown = formValues();
}

bool SettingsWindow::saveAllSettings()
{
    const bool saved = store.saveAll(formValues());
    if (!saved)
        dialogs.warning(this, tr("The settings could not be saved in %1.").arg(store.path()));
    setToolTipsShown(SETTINGS_TOOLTIPS_ON);
    if (SETTINGS_TOOLTIPS_ON)
        emit sgnShowToolTips();
    else
        emit sgnHideToolTips();
    return saved;
}

QString SettingsWindow::askForDir(const QString &title, const QString &startFolder)
{
    QString folder = toUnixFormat(dialogs.existingDirectory(this, title, startFolder));
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QMessageBox::StandardButton
SettingsWindow::askForUnsavedQuit(QMessageBox::StandardButton defaultButton)
{
    return dialogs.question(this, tr("Are you sure you want to quit without saving?"),
                            defaultButton);
}

void SettingsWindow::reject()
{
    close();
}

void SettingsWindow::closeEvent(QCloseEvent *event)
{
    if (isDirty()) {
        if (askForUnsavedQuit(QMessageBox::No) != QMessageBox::Yes) {
            event->ignore();
            return;
        }
        // The changes are given up: the next opening shows what is stored.
        fillFormValues();
    }
    // Not QDialog's own handler, which would call reject() and so close() again.
    event->accept();
}

void SettingsWindow::on_btnSaveSettings_clicked()
{
    if (isDirty())
        saveAllSettings();
}

void SettingsWindow::on_btnCloseSettings_clicked()
{
    close();
}

void SettingsWindow::on_btnStlArchive_clicked()
{
    const QString folder = askForDir(tr("Select .stl archive folder"), STL_PATH_LOCATION);
    if (!folder.isEmpty())
        ui->leStlArchive->setText(folder);
}

void SettingsWindow::on_btnSlicerSubDir_clicked()
{
    const QString folder = askForDir(tr("Select sliced models folder"), SLICER_WORKING_DIR);
    if (!folder.isEmpty())
        ui->leSlicerSubDir->setText(folder);
}

void SettingsWindow::setupToolTips()
{
    setToolTipsShown(true);
}

void SettingsWindow::unsetToolTips()
{
    setToolTipsShown(false);
}

void SettingsWindow::setToolTipsShown(bool shown)
{
    const QString folder = tr("Select the folder in which your .stl files are located.");
    const QString slicedFolder =
            tr("Select the folder in which you want your sliced files to be located.");
    const QList<QPair<QWidget *, QString>> tips = {
            {ui->btnStlArchive, folder},
            {ui->leStlArchive, folder},
            {ui->btnSlicerSubDir, slicedFolder},
            {ui->leSlicerSubDir, slicedFolder},
            {ui->cboProjectors, tr("Specify the projector you are currently printing with.")},
            {ui->cboResins, tr("Specify the resin you are currently printing with.")},
            {ui->checkBoxSounds, tr("Check this box if you want to enable program sounds.")},
            {ui->spinPreMovement,
             tr("Specify how many milliseconds to wait before the engine "
                "movement.")},
            {ui->spinPostMovement,
             tr("Specify how many milliseconds to wait after the engine "
                "movement.")},
    };
    for (const auto &[widget, tip] : tips)
        widget->setToolTip(shown ? tip : QString());
}

void SettingsWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        setToolTipsShown(SETTINGS_TOOLTIPS_ON);
    }
    QDialog::changeEvent(event);
}

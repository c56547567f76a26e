#pragma once

#include <memory>

#include <QDialog>
#include <QMessageBox>

#include "settings/settingsstore.h"

class Dialogs;

namespace Ui {
class SettingsWindow;
}

// The "Settings" dialog: the two working folders, the projector (and the hidden resin and
// movement times) and the sounds and tooltips switches. It shows the process-wide values and
// shows them again whenever the store has read the file; "Save" writes the form through the
// store. Closing with unsaved changes asks first; giving them up puts the stored values back.
class SettingsWindow : public QDialog
{
    Q_OBJECT

public:
    // Fills the form, lists included, from the process-wide values: create it after the store's
    // first load() so that the lists select the stored projector and resin. The store and the
    // dialogs belong to the caller and outlive the window.
    SettingsWindow(SettingsStore &store, Dialogs &dialogs, QWidget *parent);
    ~SettingsWindow() override;

    // What the form holds.
    SettingsDialogValues formValues() const;
    // Whether the form differs from the stored values it last showed.
    bool isDirty() const { return formValues() != shown; }

    // The folder chooser, parented to the dialog: the chosen folder with "/" separators and a
    // final "/", or empty when the user cancelled.
    QString askForDir(const QString &title, const QString &startFolder);
    // "Are you sure you want to quit without saving?", Yes or No; returns the answer.
    QMessageBox::StandardButton askForUnsavedQuit(QMessageBox::StandardButton defaultButton);

public slots:
    // Folders, switches and times from the process-wide values. The lists are filled from the
    // databases the first time; each time they select the stored choice when they have it.
    void fillFormValues();
    // Writes the form through the store, whatever it holds, then emits sgnShowToolTips() or
    // sgnHideToolTips() as the tooltips setting now reads. When the file could not be written
    // it says so and returns false.
    bool saveAllSettings();
    // Escape closes the dialog the way "Close" does.
    void reject() override;

    // The dialog's explanatory tooltips, in the language in force, or none.
    void setupToolTips();
    void unsetToolTips();

signals:
    void sgnShowToolTips();
    void sgnHideToolTips();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_btnSaveSettings_clicked();
    void on_btnCloseSettings_clicked();
    void on_btnStlArchive_clicked();
    void on_btnSlicerSubDir_clicked();

private:
    void setToolTipsShown(bool shown);

    std::unique_ptr<Ui::SettingsWindow> ui;
    SettingsStore &store;
    Dialogs &dialogs;
    // The values the form showed when it was last filled: changes are unsaved while it differs.
    SettingsDialogValues shown;
    bool combosFilled = false;
};

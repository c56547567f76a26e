#pragma once

#include <memory>
#include <vector>

#include <QWidget>

#include "printing/printrun.h"

class Dialogs;
struct ModelFigures;
class QListWidgetItem;
class Slicer;
class SoundPlayer;
class STLModelInstance;

namespace Ui {
class ModelPage;
}

// Page 0, "3D": the build plate with the loaded model, its measures and resin cost, and the
// slicing controls. The page owns the placed model instances; the 3D view draws them.
class ModelPage : public QWidget
{
    Q_OBJECT

public:
    // What the page is given belongs to the main window, which outlives the page.
    ModelPage(Slicer &slicer, SoundPlayer &soundPlayer, Dialogs &dialogs,
              QWidget *parent = nullptr);
    ~ModelPage() override;

    void setModelGroupEnabled(bool enabled);
    // Fills the resin list from the resin database; its choice picks the cost shown.
    void fillResins();
    // Loads the model file as Load STL does after its dialog; false when it cannot be read.
    bool loadModel(const QString &path);
    // The projector and resin chosen and the measures of the selected model, for a print's log.
    PrintLogContext printLogContext() const;
    // The explanatory tooltips, in the language in force, or none.
    void setToolTipsShown(bool shown);

public slots:
    void on_btnLoadStl_clicked();
    void on_btnRemoveStl_clicked();
    void on_btnSlice_clicked();
    void sltItemSelectionChanged();
    void updateModelInfos(const STLModelInstance &instance);
    void updateBedLabels();
    void turnSpecificModelFeatures(bool on);
    void changeModelPosition(int axe);
    void changeModelRotation(int axe);
    void changeModelScale();

signals:
    void sgnGoToCalibration();
    void sgnModelGroupClicked(bool checked);
    // A note for the window's status bar, shown for `ms` milliseconds.
    void sgnStatusNote(const QString &text, int ms);

private slots:
    void on_btnGoToCalibration_clicked();
    void on_btnReset_clicked();
    void on_grpBoxStl_clicked(bool checked);
    void on_cboResins_currentTextChanged(const QString &text);
    void on_lePosX_returnPressed();
    void on_lePosY_returnPressed();
    void on_lePosZ_returnPressed();
    void on_leRotX_returnPressed();
    void on_leRotY_returnPressed();
    void on_leRotZ_returnPressed();
    void on_sliderRotZ_valueChanged(int value);
    void on_leScaleModel_returnPressed();
    void on_btnResetRotation_clicked();
    void on_btnApplyChanges_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    void hideUnusedControls();
    // The figures of the selected model, or of the bed, or none.
    void showCurrentFigures();
    int findIndexOf(const QListWidgetItem *item) const;
    // The instance of the single selected row, or -1.
    int selectedInstance() const;
    void showFigures(const ModelFigures &figures, bool bed);
    void clearFigures();

    std::unique_ptr<Ui::ModelPage> ui;
    Slicer &slicer;
    SoundPlayer &soundPlayer;
    Dialogs &dialogs;
    // In the order of the model list's rows and of the 3D view's models.
    std::vector<std::unique_ptr<STLModelInstance>> instances;
    bool toolTipsShown = false;
};

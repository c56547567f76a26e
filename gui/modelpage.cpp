#include "gui/modelpage.h"

#include <cmath>

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>

#include "base/constants.h"
#include "base/settingsvalues.h"
#include "gui/databaselist.h"
#include "gui/dialogs.h"
#include "gui/slicingprogressdialog.h"
#include "gui/soundplayer.h"
#include "gui/waitcursor.h"
#include "model/modelfigures.h"
#include "model/stlmodelinstance.h"
#include "model/stlreader.h"
#include "slicing/slicer.h"
#include "ui_modelpage.h"

namespace {

constexpr int STATUS_NOTE_MS = 3000;

// An editor's text as a number; text that is not one reads as 0.
float editorValue(const QLineEdit *editor)
{
    return editor->text().toFloat();
}

} // namespace

ModelPage::ModelPage(Slicer &slicer, SoundPlayer &soundPlayer, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::ModelPage>())
    , slicer(slicer)
    , soundPlayer(soundPlayer)
    , dialogs(dialogs)
{
    ui->setupUi(this);
    // Ctrl+PgDown and Ctrl+PgUp move between the pages, as between the tabs of other programs.
    ui->btnGoToCalibration->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    // Layer increments in microns; the first becomes current.
    ui->cboZIncrement->addItems({QStringLiteral("100"), QStringLiteral("50")});
    hideUnusedControls();

    ui->listView->setSelectionMode(QAbstractItemView::ContiguousSelection);
    ui->listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->btnLoadStl->setEnabled(true);
    ui->btnRemoveStl->setEnabled(false);
    ui->viewer->setBackgroundColor(QColor(236, 239, 241));
    connect(ui->listView, &QListWidget::itemSelectionChanged, this,
            &ModelPage::sltItemSelectionChanged);
}

ModelPage::~ModelPage() = default;

void ModelPage::setModelGroupEnabled(bool enabled)
{
    ui->grpBoxStl->setEnabled(enabled);
}

// This version edits one model as it lies on the plate: the scene controls, the transform
// editors and the line thickness stay out of sight.
void ModelPage::hideUnusedControls()
{
    const QList<QWidget *> hidden = {
            ui->btnReset,
            ui->btnLoadScene,
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
}

void ModelPage::on_btnLoadStl_clicked()
{
    // The STL folder only tells the dialog where to start: when it cannot be made, the dialog
    // starts in the nearest folder that exists.
    QFileInfo startFolder(QDir::cleanPath(STL_PATH_LOCATION));
    if (!QDir().mkpath(startFolder.filePath())) {
        while (!startFolder.isDir() && !startFolder.isRoot())
            startFolder.setFile(startFolder.absolutePath());
    }
    const QString path = dialogs.openFileName(this, tr("Loading .stl file"), startFolder.filePath(),
                                              tr("Object models (*.stl)"));
    if (!path.isEmpty())
        loadModel(path);
}

bool ModelPage::loadModel(const QString &path)
{
    // The plate holds one model at a time; Load STL is disabled until it is removed.
    if (!instances.empty()) {
        dialogs.warning(this, tr("Remove the model on the plate before loading another."));
        return false;
    }
    auto model = std::make_unique<STLReader>(path);
    const QString reason =
            QFileInfo(path).isFile() ? model->errorString() : tr("There is no file %1.").arg(path);
    if (!model->isValid() || !reason.isEmpty()) {
        // The reader's own words after the box's text tell what is wrong with the file.
        dialogs.critical(this,
                         tr("The .stl file you provided is corrupted and therefore cannot be "
                            "printed!")
                                 + QStringLiteral("\n\n") + reason);
        return false;
    }
    if (!ui->listView->isEnabled()) {
        ui->listView->setEnabled(true);
        ui->grpBoxInfo->show();
    }
    ui->listView->clearSelection();
    if (instances.empty())
        ui->btnRemoveStl->setEnabled(true);
    ui->btnLoadStl->setEnabled(false);

    instances.push_back(std::make_unique<STLModelInstance>(std::move(model)));
    STLModelInstance &instance = *instances.back();
    ui->viewer->addModel(&instance);
    updateModelInfos(instance);
    ui->listView->addItem(instance.filePath());
    ui->listView->setCurrentRow(ui->listView->count() - 1);
    ui->listView->setFocus();
    emit sgnStatusNote(tr("File %1 loaded!").arg(instance.name()), STATUS_NOTE_MS);
    return true;
}

void ModelPage::on_btnRemoveStl_clicked()
{
    if (instances.empty() || ui->listView->selectedItems().isEmpty())
        return;
    const int row = ui->listView->currentRow();
    if (row < 0 || row >= int(instances.size()))
        return;
    delete ui->listView->takeItem(row);
    ui->viewer->removeModel(row);
    instances.erase(instances.begin() + row);

    if (row > 0)
        ui->listView->setCurrentRow(row - 1);
    else if (ui->listView->count() > 0)
        ui->listView->setCurrentRow(0);
    if (instances.empty()) {
        clearFigures();
        ui->grpBoxInfo->hide();
        ui->listView->setEnabled(false);
        ui->btnRemoveStl->setEnabled(false);
        ui->btnLoadStl->setEnabled(true);
    }
    ui->listView->setFocus();
}

int ModelPage::findIndexOf(const QListWidgetItem *item) const
{
    for (size_t i = 0; i < instances.size(); ++i) {
        if (instances[i]->filePath() == item->text())
            return int(i);
    }
    return -1;
}

int ModelPage::selectedInstance() const
{
    const QList<QListWidgetItem *> selected = ui->listView->selectedItems();
    return selected.size() == 1 ? findIndexOf(selected.first()) : -1;
}

void ModelPage::sltItemSelectionChanged()
{
    const QList<QListWidgetItem *> selected = ui->listView->selectedItems();
    if (selected.isEmpty()) {
        ui->listView->clearSelection();
        for (size_t i = 0; i < instances.size(); ++i) {
            instances[i]->setSelected(false);
            ui->viewer->deSelectModel(int(i));
        }
        updateBedLabels();
        // With no row selected the remove button removes nothing; clicking it keeps the
        // keyboard focus where the model list leaves it.
        ui->btnRemoveStl->click();
        return;
    }
    if (selected.size() > 1)
        return;
    const int chosen = findIndexOf(selected.first());
    if (chosen < 0)
        return;
    for (size_t i = 0; i < instances.size(); ++i) {
        if (int(i) == chosen)
            continue;
        instances[i]->setSelected(false);
        ui->viewer->deSelectModel(int(i));
    }
    STLModelInstance &instance = *instances[size_t(chosen)];
    const bool wasSelected = instance.isSelected();
    instance.setSelected(!wasSelected);
    if (wasSelected) {
        ui->viewer->deSelectModel(chosen);
    } else {
        ui->viewer->selectModel(chosen);
        updateModelInfos(instance);
    }
}

void ModelPage::fillResins()
{
    const std::vector<DatabaseEntry> resins = readDatabase(RESINS_DB);
    updateResinPrices(resins);
    fillDbComboBox(resins, ui->cboResins);
}

PrintLogContext ModelPage::printLogContext() const
{
    PrintLogContext context;
    context.projector = SETTINGS_DEF_PROJECTOR;
    context.resin = ui->cboResins->currentText();
    const int index = selectedInstance();
    if (index >= 0)
        context.modelLines = ModelFigures::of(instances[size_t(index)]->model()).logLines();
    return context;
}

void ModelPage::updateModelInfos(const STLModelInstance &instance)
{
    turnSpecificModelFeatures(true);
    ui->lePosX->setText(QString::number(double(instance.position().x()), 'f', 2));
    ui->lePosY->setText(QString::number(double(instance.position().y()), 'f', 2));
    ui->lePosZ->setText(QString::number(double(instance.position().z()), 'f', 2));
    ui->leRotX->setText(QString::number(double(instance.rotation().x()), 'f', 0));
    ui->leRotY->setText(QString::number(double(instance.rotation().y()), 'f', 0));
    ui->leRotZ->setText(QString::number(double(instance.rotation().z()), 'f', 0));
    ui->leScaleModel->setText(QString::number(double(instance.scale().x()), 'f', 0));
    ui->lblBedConfigurationName->setText(instance.name());
    showFigures(ModelFigures::of(instance.model()), false);
}

void ModelPage::updateBedLabels()
{
    ui->lblBedConfigurationName->setText(tr("Bed configuration"));
    QList<const STLReader *> models;
    for (int row = 0; row < ui->listView->count(); ++row) {
        const int index = findIndexOf(ui->listView->item(row));
        if (index >= 0)
            models.append(&instances[size_t(index)]->model());
    }
    showFigures(ModelFigures::ofBed(models), true);
    turnSpecificModelFeatures(false);
}

void ModelPage::showFigures(const ModelFigures &figures, bool bed)
{
    ui->lblObjectWidth->setText(figures.widthText());
    ui->lblObjectHeight->setText(figures.heightText());
    ui->lblObjectLength->setText(figures.lengthText());
    ui->lblResinCost->setText(figures.costText(ui->cboResins->currentText(), bed));
    ui->lblObjectMass->setText(figures.massText());
    ui->lblObjectVolume->setText(figures.volumeText());
    ui->lblObjectArea->setText(figures.areaText());
    ui->lblObjectTriangles->setText(figures.trianglesText());
}

void ModelPage::clearFigures()
{
    for (QLabel *label :
         {ui->lblObjectWidth, ui->lblObjectHeight, ui->lblObjectLength, ui->lblResinCost,
          ui->lblObjectMass, ui->lblObjectVolume, ui->lblObjectArea, ui->lblObjectTriangles})
        label->clear();
}

void ModelPage::turnSpecificModelFeatures(bool on)
{
    for (QLineEdit *editor :
         {ui->lePosX, ui->lePosY, ui->lePosZ, ui->leRotX, ui->leRotY, ui->leRotZ}) {
        editor->clear();
        editor->setEnabled(on);
    }
    ui->sliderRotZ->setEnabled(on);
}

void ModelPage::on_cboResins_currentTextChanged(const QString &)
{
    if (instances.empty())
        return;
    if (ui->listView->selectedItems().isEmpty()) {
        updateBedLabels();
        return;
    }
    const int row = ui->listView->currentRow();
    if (row >= 0 && row < int(instances.size()))
        updateModelInfos(*instances[size_t(row)]);
}

void ModelPage::changeModelPosition(int axe)
{
    const int index = selectedInstance();
    if (index < 0)
        return;
    QVector3D position = instances[size_t(index)]->position();
    const QLineEdit *editors[] = {ui->lePosX, ui->lePosY, ui->lePosZ};
    for (int axis = 0; axis < 3; ++axis) {
        if (axe == axis || axe == 3)
            position[axis] = editorValue(editors[axis]);
    }
    // The view places the instance and draws it there.
    ui->viewer->moveModel(index, position);
}

void ModelPage::changeModelRotation(int axe)
{
    const int index = selectedInstance();
    if (index < 0)
        return;
    QVector3D rotation = instances[size_t(index)]->rotation();
    // Which components each editor choice replaces: x, y, z, all, x and y, x and z, y and z.
    static const bool replaced[7][3] = {
            {true, false, false}, {false, true, false}, {false, false, true}, {true, true, true},
            {true, true, false},  {true, false, true},  {false, true, true}};
    if (axe < 0 || axe > 6)
        return;
    const QLineEdit *editors[] = {ui->leRotX, ui->leRotY, ui->leRotZ};
    for (int axis = 0; axis < 3; ++axis) {
        if (replaced[axe][axis])
            rotation[axis] = editorValue(editors[axis]);
    }
    ui->viewer->rotateModel(index, rotation);
}

void ModelPage::changeModelScale()
{
    const int index = selectedInstance();
    if (index < 0)
        return;
    const float factor = editorValue(ui->leScaleModel);
    ui->viewer->scaleModel(index, QVector3D(factor, factor, factor));
}

void ModelPage::on_lePosX_returnPressed()
{
    changeModelPosition(0);
}

void ModelPage::on_lePosY_returnPressed()
{
    changeModelPosition(1);
}

void ModelPage::on_lePosZ_returnPressed()
{
    changeModelPosition(2);
}

void ModelPage::on_leRotX_returnPressed()
{
    changeModelRotation(0);
}

void ModelPage::on_leRotY_returnPressed()
{
    changeModelRotation(1);
}

void ModelPage::on_leRotZ_returnPressed()
{
    QVector3D angle(float(ui->leRotZ->text().toInt()), 0, 0);
    STLModelInstance::normalizeRotation(angle);
    const int value = int(angle.x());
    if (QString::number(value) != ui->leRotZ->text())
        ui->leRotZ->setText(QString::number(value));
    const QSignalBlocker blocker(ui->sliderRotZ);
    ui->sliderRotZ->setValue(value);
    changeModelRotation(2);
}

void ModelPage::on_sliderRotZ_valueChanged(int value)
{
    ui->leRotZ->setText(QString::number(value));
    changeModelRotation(2);
}

void ModelPage::on_leScaleModel_returnPressed()
{
    changeModelScale();
}

void ModelPage::on_btnResetRotation_clicked()
{
    if (instances.empty())
        return;
    for (QLineEdit *editor : {ui->leRotX, ui->leRotY, ui->leRotZ})
        editor->setText(QStringLiteral("0"));
    ui->sliderRotZ->setValue(0);
    ui->viewer->rotateModel(0, QVector3D());
}

void ModelPage::on_btnApplyChanges_clicked()
{
    changeModelPosition(3);
    changeModelRotation(3);
    changeModelScale();
}

void ModelPage::on_btnSlice_clicked()
{
    if (slicer.isSlicing())
        return;
    const QListWidgetItem *current = ui->listView->currentItem();
    if (!current || current->text().isEmpty())
        return;
    bool isNumber = false;
    const int microns = ui->cboZIncrement->currentText().toInt(&isNumber);
    if (!isNumber)
        return;
    // The line thickness has no effect on the layers, but a choice that is no number stops the
    // run as it always has.
    ui->cboLineThickness->currentText().toFloat(&isNumber);
    if (!isNumber)
        return;

    SliceRequest request;
    request.modelFile = current->text();
    request.microns = microns;
    request.hollow = ui->chkHollow->isChecked();
    request.outputRoot = SLICER_WORKING_DIR;
    request.thumbnail = ui->viewer->takeScreenShot();

    QString error;
    bool sliced = false;
    {
        const WaitCursor waitCursor(this);
        SlicingProgressDialog progress;
        slicer.setProgress(&progress);
        sliced = slicer.engage(request, error);
        slicer.setProgress(nullptr);
    }
    if (!sliced) {
        soundPlayer.play(SoundPlayer::Sound::Error);
        dialogs.critical(this, tr("Slicing error: %1").arg(error));
        return;
    }
    soundPlayer.play(SoundPlayer::Sound::Success);
    dialogs.information(this,
                        tr("Slicing of %1 completed! %2 resulting slices.")
                                .arg(QFileInfo(request.modelFile).baseName(),
                                     QString::number(slicer.getPlaneCounter())));
}

void ModelPage::on_btnGoToCalibration_clicked()
{
    emit sgnGoToCalibration();
}

void ModelPage::on_btnReset_clicked()
{
    ui->cboZIncrement->setCurrentIndex(0);
    ui->cboLineThickness->setCurrentIndex(0);
}

void ModelPage::on_grpBoxStl_clicked(bool checked)
{
    emit sgnModelGroupClicked(checked);
}

void ModelPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        showCurrentFigures();
        setToolTipsShown(toolTipsShown);
    }
    QWidget::changeEvent(event);
}

void ModelPage::showCurrentFigures()
{
    const int selected = selectedInstance();
    if (instances.empty())
        clearFigures();
    else if (selected >= 0)
        updateModelInfos(*instances[size_t(selected)]);
    else
        updateBedLabels();
}

void ModelPage::setToolTipsShown(bool shown)
{
    toolTipsShown = shown;
    const QList<QPair<QWidget *, QString>> tips = {
            {ui->btnLoadScene, tr("Lets you load a previously created bed configuration.")},
            {ui->listView, tr("Lets you specify the 3D model(s) you want to print.")},
            {ui->btnLoadStl, tr("Lets you specify the 3D model you want to print.")},
            {ui->btnRemoveStl, tr("Lets you remove the specified 3D model.")},
            {ui->btnApplyChanges, tr("Lets you apply all the changes of the manipulated model.")},
            {ui->cboResins,
             tr("Lets you display the cost of the selected object(s) given the "
                "specified resin.")},
            {ui->cboZIncrement, tr("Lets you specify the print resolution (in microns!).")},
            {ui->cboLineThickness,
             QStringLiteral("Lets you specify how thick the object will be.r")},
            {ui->chkHollow, tr("Lets you print an hollow object.")},
            {ui->btnSlice,
             tr("Once you've loaded the model, this control starts the slicing "
                "process.")},
            {ui->btnGoToCalibration, tr("Proceed to the next phase: calibration.")},
    };
    for (const auto &[widget, tip] : tips)
        widget->setToolTip(shown ? tip : QString());
}

#include "gui/modelpage.h"

#include <QAbstractItemView>

#include "ui_modelpage.h"

ModelPage::ModelPage(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::ModelPage>())
{
    ui->setupUi(this);
    // Layer increments in microns; the first becomes current.
    ui->cboZIncrement->addItems({QStringLiteral("100"), QStringLiteral("50")});
    hideUnusedControls();

    ui->listView->setSelectionMode(QAbstractItemView::ContiguousSelection);
    ui->listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->btnLoadStl->setEnabled(true);
    ui->btnRemoveStl->setEnabled(false);
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

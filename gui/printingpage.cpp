#include "gui/printingpage.h"

#include <QHeaderView>
#include <QLayout>

#include "base/settingsvalues.h"
#include "ui_printingpage.h"

PrintingPage::PrintingPage(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::PrintingPage>())
{
    ui->setupUi(this);
    ui->checkBoxAddBase->setChecked(true);
    // The "Advanced Settings" button shows this group.
    ui->grpBoxAdvancedSettings->hide();
    ui->checkBoxSuGiu->setChecked(true);
    ui->previewSlider->setEnabled(false);

    ui->spinPreMovement->setValue(SETTINGS_PRE_TIME);
    ui->spinPostMovement->setValue(SETTINGS_POST_TIME);
    ui->spinBaseWaitTime->setValue(SETTINGS_BASE_TIME);
    ui->spinFramesDelay->setValue(SETTINGS_WAIT_TIME);

    setupFramesTimeTable();
    togglePrintingControls(false);
}

PrintingPage::~PrintingPage() = default;

void PrintingPage::setJobGroupEnabled(bool enabled)
{
    ui->grpBoxVek->setEnabled(enabled);
}

void PrintingPage::togglePrintingControls(bool on)
{
    toggleEnableWidgetChildOfLayout(ui->layoutProgress, on);
    toggleEnableWidgetChildOfLayout(ui->layoutRemainingTime, on);
    toggleEnableWidgetChildOfLayout(ui->layoutEstimatedTime, on);
    toggleEnableWidgetChildOfLayout(ui->layoutPrintButtons, on);
    ui->progBarFrame->setEnabled(on);
    ui->progBarPrint->setEnabled(on);
    ui->btnStartPrinting->setEnabled(!on);
    ui->btnTestLayers->setEnabled(!on);
}

void PrintingPage::toggleEnableWidgetChildOfLayout(QLayout *layout, bool on)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (QWidget *widget = item->widget())
            widget->setEnabled(on);
        else if (QLayout *nested = item->layout())
            toggleEnableWidgetChildOfLayout(nested, on);
    }
}

void PrintingPage::on_btnBackToCalibration_clicked()
{
    emit sgnBackToCalibration();
}

void PrintingPage::on_grpBoxVek_clicked(bool checked)
{
    emit sgnJobGroupClicked(checked);
}

void PrintingPage::setupFramesTimeTable()
{
    QTableWidget *table = ui->framesTimeTable;
    table->setRowCount(3);
    table->setColumnCount(3);
    table->setAutoScroll(true);
    table->setHorizontalHeaderLabels(
            {tr("Start Layer (Incl.)"), tr("End Layer (Incl.)"), tr("Frame Time (ms)")});
    table->verticalHeader()->setVisible(true);
    table->verticalHeader()->setDefaultSectionSize(20);
}

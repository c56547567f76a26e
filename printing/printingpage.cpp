// Printing page slots of the main window.

#include <QHeaderView>
#include <QLayout>

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

void MainWindow::togglePrintingControls(bool on)
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

void MainWindow::toggleEnableWidgetChildOfLayout(QLayout *layout, bool on)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (QWidget *widget = item->widget())
            widget->setEnabled(on);
        else if (QLayout *nested = item->layout())
            toggleEnableWidgetChildOfLayout(nested, on);
    }
}

void MainWindow::on_grpBoxStl_clicked(bool checked)
{
    ui->grpBoxVek->setEnabled(!checked);
}

void MainWindow::on_grpBoxVek_clicked(bool checked)
{
    ui->grpBoxStl->setEnabled(!checked);
}

void MainWindow::setupFramesTimeTable()
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

// Model page slots of the main window.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

void MainWindow::on_btnReset_clicked()
{
    ui->cboZIncrement->setCurrentIndex(0);
    ui->cboLineThickness->setCurrentIndex(0);
}

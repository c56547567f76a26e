// Connection page slots of the main window: plate moves by buttons and shortcuts.

#include "app/mainwindow.h"

void MainWindow::on_btnUp_clicked() { }

void MainWindow::on_btnDown_clicked() { }

void MainWindow::accuratePrinterUp() { }

void MainWindow::accuratePrinterDown() { }

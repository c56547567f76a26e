// The quit sequence: ask only while work is under way, then leave the printer and the
// projector safe before the event loop ends.

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>

#include "app/constants.h"
#include "app/mainwindow.h"
#include "printer/printer.h"
#include "slicing/slicer.h"

void MainWindow::on_stlActionQuit()
{
    if (!isBusy()) {
        quitEvent();
        return;
    }
    if (askQuitConfirm(QMessageBox::Yes) == QMessageBox::Yes)
        quitEvent();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!isBusy()) {
        quitEvent();
        return;
    }
    if (askQuitConfirm(QMessageBox::No) == QMessageBox::Yes) {
        quitEvent();
        event->accept();
    } else {
        event->ignore();
    }
}

QMessageBox::StandardButton MainWindow::askQuitConfirm(QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::question(this, MSGBOX_ALERT, tr("Are you sure you want to quit?"),
                                 QMessageBox::Yes | QMessageBox::No, defaultButton);
}

void MainWindow::quitEvent()
{
    m_printerCheckTimer->stop();
    m_printFrequencyTimer->stop();
    m_remainingTimeTimer->stop();

    QMessageBox::warning(this, MSGBOX_HEADER,
                         tr("Remember to SHUTDOWN videoprojector or it will destroy the resin"),
                         QMessageBox::Ok);

    if (printer)
        printer->closeConnection();

    QApplication::quit();
}

bool MainWindow::isBusy() const
{
    return slicer && slicer->isSlicing();
}

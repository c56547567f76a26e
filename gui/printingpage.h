#pragma once

#include <memory>

#include <QWidget>

class QLayout;

namespace Ui {
class PrintingPage;
}

// Page 2: the job to print with its layer preview, the curing times and the print controls.
class PrintingPage : public QWidget
{
    Q_OBJECT

public:
    explicit PrintingPage(QWidget *parent = nullptr);
    ~PrintingPage() override;

    void setJobGroupEnabled(bool enabled);
    // Enables the progress rows and the buttons of a running print, and Start Printing and Test
    // Layers when it is off.
    void togglePrintingControls(bool on);
    // Enables or disables every widget of the layout and of the layouts nested in it.
    static void toggleEnableWidgetChildOfLayout(QLayout *layout, bool on);

signals:
    void sgnBackToCalibration();
    void sgnJobGroupClicked(bool checked);

private slots:
    void on_btnBackToCalibration_clicked();
    void on_grpBoxVek_clicked(bool checked);

private:
    void setupFramesTimeTable();

    std::unique_ptr<Ui::PrintingPage> ui;
};

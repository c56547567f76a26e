#pragma once

#include <memory>

#include <QWidget>

namespace Ui {
class ModelPage;
}

// Page 0, "3D": the build plate with the loaded models, their measures and the slicing controls.
class ModelPage : public QWidget
{
    Q_OBJECT

public:
    explicit ModelPage(QWidget *parent = nullptr);
    ~ModelPage() override;

    void setModelGroupEnabled(bool enabled);

signals:
    void sgnGoToCalibration();
    void sgnModelGroupClicked(bool checked);

private slots:
    void on_btnGoToCalibration_clicked();
    void on_btnReset_clicked();
    void on_grpBoxStl_clicked(bool checked);

private:
    void hideUnusedControls();

    std::unique_ptr<Ui::ModelPage> ui;
};

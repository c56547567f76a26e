#include "gui/slicingprogressdialog.h"

#include <QCoreApplication>

SlicingProgressDialog::SlicingProgressDialog() = default;

SlicingProgressDialog::~SlicingProgressDialog() = default;

void SlicingProgressDialog::start()
{
    m_dialog = std::make_unique<QProgressDialog>(
            QCoreApplication::translate("Slicer", "Slicing..."),
            QCoreApplication::translate("Slicer", "Abort"), 0, 100);
}

void SlicingProgressDialog::setValue(int percent)
{
    if (m_dialog)
        m_dialog->setValue(percent);
}

bool SlicingProgressDialog::wasCanceled() const
{
    return m_dialog && m_dialog->wasCanceled();
}

void SlicingProgressDialog::finish()
{
    m_dialog.reset();
}

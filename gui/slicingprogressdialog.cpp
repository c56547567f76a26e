#include "gui/slicingprogressdialog.h"

#include <QCoreApplication>

SlicingProgressDialog::SlicingProgressDialog() = default;

SlicingProgressDialog::~SlicingProgressDialog() = default;

void SlicingProgressDialog::start()
{
    m_sinceShown.invalidate();
    m_dialog = std::make_unique<QProgressDialog>(
            QCoreApplication::translate("Slicer", "Slicing..."),
            QCoreApplication::translate("Slicer", "Abort"), 0, 100);
}

void SlicingProgressDialog::setValue(int percent)
{
    constexpr qint64 REDRAW_MS = 200;
    if (!m_dialog || (m_sinceShown.isValid() && m_sinceShown.elapsed() < REDRAW_MS))
        return;
    m_dialog->setValue(percent);
    m_sinceShown.start();
}

bool SlicingProgressDialog::wasCanceled() const
{
    return m_dialog && m_dialog->wasCanceled();
}

void SlicingProgressDialog::finish()
{
    m_dialog.reset();
}

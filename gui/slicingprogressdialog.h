#pragma once

#include <memory>

#include <QElapsedTimer>
#include <QProgressDialog>

#include "slicing/slicingprogress.h"

// The "Slicing..." progress dialog with its "Abort" button, shown while the planes are cut. It
// is redrawn a few times a second, not for every plane: drawing it would cost more than a plane.
class SlicingProgressDialog : public SlicingProgress
{
public:
    SlicingProgressDialog();
    ~SlicingProgressDialog() override;

    void start() override;
    void setValue(int percent) override;
    bool wasCanceled() const override;
    void finish() override;

private:
    std::unique_ptr<QProgressDialog> m_dialog;
    QElapsedTimer m_sinceShown;
};

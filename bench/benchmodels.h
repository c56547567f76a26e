#pragma once

#include <QString>
#include <QStringList>

// The synthetic models of the peer benchmark (sphere_1m, plate_holes, ...), made by its own
// generator, make_models.py in the shared bench folder, and kept between runs.
namespace BenchModels {

// Where they are kept unless a benchmark is told otherwise.
QString defaultFolder();
// Makes the named models (without ".stl") that are missing from `folder`; false on failure.
bool ensureSyntheticModels(const QString &folder, const QString &generator,
                           const QStringList &names);

} // namespace BenchModels

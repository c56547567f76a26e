#pragma once

#include <optional>

#include <QList>
#include <QMap>
#include <QString>

// One row of the per-layer curing-time table as typed: first layer, last layer (both included)
// and the curing time in ms; a cell never filled in is a null text.
struct CuringTimeRow
{
    QString start;
    QString end;
    QString time;
};

// The curing time of every frame the rows name, or nothing when the table is inconsistent: a
// row filled in only in part, a start after its end, a start or end that an earlier row already
// named, a time that is not a positive number, or a range of more layers than any job has. Empty
// rows are skipped; a start or end that is not a number reads as 0 (the base frame).
std::optional<QMap<int, int>> readCuringTimes(const QList<CuringTimeRow> &rows);

#include "printing/curingtimetable.h"

namespace {

// Far more layers than a job can have (25 m of 25 µm layers): a range beyond is a typing error,
// not a million entries to make.
constexpr int MAX_RANGE = 1000000;

} // namespace

std::optional<QMap<int, int>> readCuringTimes(const QList<CuringTimeRow> &rows)
{
    QMap<int, int> times;
    for (const CuringTimeRow &row : rows) {
        const int filled =
                int(!row.start.isNull()) + int(!row.end.isNull()) + int(!row.time.isNull());
        if (filled == 0)
            continue;
        if (filled < 3)
            return std::nullopt;
        bool isNumber = false;
        const int start = row.start.toInt();
        const int end = row.end.toInt();
        const int time = row.time.toInt(&isNumber);
        if (!isNumber || time <= 0 || start > end || qint64(end) - start >= MAX_RANGE
            || times.contains(start) || times.contains(end))
            return std::nullopt;
        for (int frame = start; frame <= end; ++frame)
            times.insert(frame, time);
    }
    return times;
}

#pragma once

#include <QByteArray>
#include <QPointF>

// Writes numbers as QString::number(v, 'f', 6) writes them, byte for byte, without building a
// QString for each: exact decimal rounding with ties away from zero, "-0.000000" for a negative
// value that rounds to zero, "0.000000" for negative zero.
namespace FixedNumber {

// The room writeFixed6 may need for any value of the fast range.
constexpr int MAX_FAST_LENGTH = 32;

// Writes v into `out` and returns the end of the text, or nullptr when v is outside the range
// handled here (not finite, or 1e9 and beyond in magnitude); `out` needs MAX_FAST_LENGTH bytes.
char *writeFixed6(char *out, double v);

// Appends v to `text`, through Qt itself for values writeFixed6 does not handle.
void appendFixed6(QByteArray &text, double v);

// Appends "x,y " with both coordinates in the 6-decimal format.
void appendPoint(QByteArray &text, const QPointF &point);

} // namespace FixedNumber

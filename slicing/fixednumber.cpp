#include "slicing/fixednumber.h"

#include <cmath>
#include <cstdint>

#include <QString>

namespace FixedNumber {

namespace {

constexpr double FAST_LIMIT = 1e9;
constexpr uint64_t MILLION = 1000000;

// v * 1e6 rounded to the nearest integer, ties away from zero, computed exactly from the bits of
// v (0 <= v < 1e9): v = mantissa * 2^-shift, so v * 1e6 is an integer product shifted right.
uint64_t scaledMillionths(double v)
{
    int exponent = 0;
    const double fraction = std::frexp(v, &exponent); // v = fraction * 2^exponent, 0.5 <= f < 1
    const uint64_t mantissa = uint64_t(std::ldexp(fraction, 53));
    // Positive, since v < 1e9 < 2^53.
    const int shift = 53 - exponent;
    // Below 2^-75 the value is far under half a millionth.
    if (shift >= 128)
        return 0;
    const unsigned __int128 product = static_cast<unsigned __int128>(mantissa) * MILLION;
    const unsigned __int128 whole = product >> shift;
    const unsigned __int128 rest = product - (whole << shift);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    return uint64_t(whole) + (rest >= half ? 1 : 0);
}

} // namespace

char *writeFixed6(char *out, double v)
{
    if (!(std::abs(v) < FAST_LIMIT))
        return nullptr;
    // Qt takes the sign from v < 0: negative zero loses it, a tiny negative keeps it.
    if (v < 0)
        *out++ = '-';
    const uint64_t scaled = v == 0 ? 0 : scaledMillionths(std::abs(v));
    uint64_t integer = scaled / MILLION;
    uint64_t fraction = scaled % MILLION;

    char digits[20];
    int count = 0;
    do {
        digits[count++] = char('0' + integer % 10);
        integer /= 10;
    } while (integer != 0);
    while (count > 0)
        *out++ = digits[--count];
    *out++ = '.';
    for (int i = 5; i >= 0; --i) {
        out[i] = char('0' + fraction % 10);
        fraction /= 10;
    }
    return out + 6;
}

void appendFixed6(QByteArray &text, double v)
{
    char buffer[MAX_FAST_LENGTH];
    const char *end = writeFixed6(buffer, v);
    if (end)
        text.append(buffer, int(end - buffer));
    else
        text.append(QString::number(v, 'f', 6).toLatin1());
}

void appendPoint(QByteArray &text, const QPointF &point)
{
    char buffer[2 * MAX_FAST_LENGTH + 2];
    char *end = writeFixed6(buffer, point.x());
    if (end) {
        *end++ = ',';
        end = writeFixed6(end, point.y());
    }
    if (!end) {
        appendFixed6(text, point.x());
        text.append(',');
        appendFixed6(text, point.y());
        text.append(' ');
        return;
    }
    *end++ = ' ';
    text.append(buffer, int(end - buffer));
}

} // namespace FixedNumber

#pragma once

#include <QChar>
#include <QString>

// The path with native separators turned into "/".
QString toUnixFormat(const QString &path);
QString toUnixFormat(QChar separator);

// Fixed-point text with exactly `digits` digits after the point.
QString numberFormat(float value, int digits);

#include "base/formatting.h"

#include <QDir>

QString toUnixFormat(const QString &path)
{
    return QDir::fromNativeSeparators(path);
}

QString toUnixFormat(QChar separator)
{
    return QDir::fromNativeSeparators(QString(separator));
}

QString numberFormat(float value, int digits)
{
    return QString::number(double(value), 'f', digits);
}

#include "app/readini.h"

#include "platform/textfile.h"

#include <QFile>

#include <cmath>

QString ReadIniValue(const QString &fileName, const QString &section, const QString &key, bool *opened)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (opened)
            *opened = false;
        return QString();
    }
    if (opened)
        *opened = true;
    const QString header = QLatin1Char('[') + section + QLatin1Char(']');
    bool headerMet = false;
    // lines end at CR, LF or CR LF, as in the pager database file
    const QStringList lines = platform::SplitLines(QString::fromLatin1(file.readAll()));
    for (const QString &line : lines) {
        if (line.isEmpty())
            return QStringLiteral("False");
        if (!headerMet && line.contains(header)) {
            headerMet = true;
            continue;
        }
        if (!key.isEmpty() && line.contains(key, Qt::CaseSensitive)) {
            const int eq = line.indexOf(QLatin1Char('='));
            return eq < 0 ? line : line.mid(eq + 1);
        }
    }
    return QString();
}

bool ConvertToBoolean(const QString &text, bool *ok)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        *ok = true;
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        *ok = true;
        return false;
    }
    // only a number converts: the conversion also reads "nan" and "inf"
    bool isNumber = false;
    const double v = t.toDouble(&isNumber);
    *ok = isNumber && std::isfinite(v);
    return *ok && v != 0.0;
}

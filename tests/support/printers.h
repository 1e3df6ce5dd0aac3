// Readable failure output for Qt texts: control characters shown as \xNN.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>
#include <ostream>
#include <string>

inline std::string Visible(const QString &s)
{
    std::string out = "\"";
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || u > 0x7E) {
            char buf[12];
            std::snprintf(buf, sizeof buf, "\\x%02X", unsigned(u));
            out += buf;
        } else {
            out += char(u);
        }
    }
    return out + "\"";
}

inline void PrintTo(const QString &s, std::ostream *os) { *os << Visible(s); }

inline void PrintTo(const QStringList &l, std::ostream *os)
{
    *os << "{";
    for (qsizetype i = 0; i < l.size(); ++i)
        *os << (i ? ", " : "") << Visible(l[i]);
    *os << "}";
}

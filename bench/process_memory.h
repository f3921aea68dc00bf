// The benchmarks' reading of their own memory.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>

// A value of /proc/self/status in MB ("VmRSS", "VmHWM"); 0 where there is none.
inline double statusMegabytes(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

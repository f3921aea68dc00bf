// Download files for window tests, built in memory: plain "Standard Data" text and its
// scrambled "Encrypted Data" form.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>

#include "../../support/sample_download.h"

struct OrvRecord {
    QByteArray serial;
    QByteArray date;  // field 3, "dd/mm/yyyy"
    QByteArray error;  // field 5
};

// Header "Weld No, Serial No, Date, Time, Error, Diameter" and one line per record,
// fields split by tabs, lines ended by CR LF.
inline QByteArray orvText(const QList<OrvRecord>& records)
{
    QByteArray text = "Weld No\tSerial No\tDate\tTime\tError\tDiameter\r\n";
    int number = 1;
    for (const OrvRecord& record : records)
        text += QByteArray::number(number++) + '\t' + record.serial + '\t' + record.date +
                "\t12:00\t" + record.error + "\t110\r\n";
    return text;
}

// count records, one a day from 01/01/2009, error numbers cycling through
// 0, 27, 20, 127, 27; serial "S-<n>" for record n (from 1).
inline QByteArray orvSample(int count)
{
    static const char* const errors[] = {"0", "27", "20", "127", "27"};
    QList<OrvRecord> records;
    for (int i = 0; i < count; ++i)
        records.append({"S-" + QByteArray::number(i + 1),
                        QDate(2009, 1, 1).addDays(i).toString(u"dd/MM/yyyy").toLatin1(),
                        errors[i % 5]});
    return orvText(records);
}

// The "Encrypted Data" form of a plain text.
inline QByteArray scrambled(const QByteArray& plain)
{
    return QByteArray::fromStdString(sample::scrambled(plain.toStdString()));
}

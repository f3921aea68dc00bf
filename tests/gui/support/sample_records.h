// Download files for window tests, built in memory: plain "Standard Data" text of
// both machine families, and its scrambled "Encrypted Data" form.
#pragma once

#include <QByteArray>
#include <QList>

struct OrvRecord {
    QByteArray serial;
    QByteArray date;   // field 3, "dd/mm/yyyy"
    QByteArray error;  // field 5
};

// Header "Weld No, Serial No, Date, Time, Error, Diameter" and one line per record,
// fields split by tabs, lines ended by CR LF.
QByteArray orvText(const QList<OrvRecord>& records);

// count records, one a day from 01/01/2009, error numbers cycling through
// 0, 27, 20, 127, 27; serial "S-<n>" for record n (from 1).
QByteArray orvSample(int count);

// The "Encrypted Data" form of a plain text.
QByteArray scrambled(const QByteArray& plain);

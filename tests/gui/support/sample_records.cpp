#include "support/sample_records.h"

#include <span>
#include <vector>

#include "core/scrambling.h"

QByteArray orvText(const QList<OrvRecord>& records)
{
    QByteArray text = "Weld No\tSerial No\tDate\tTime\tError\tDiameter\r\n";
    int number = 1;
    for (const OrvRecord& record : records) {
        text += QByteArray::number(number++) + '\t' + record.serial + '\t' + record.date +
                "\t12:00\t" + record.error + "\t110\r\n";
    }
    return text;
}

QByteArray orvSample(int count)
{
    static const char* const errors[] = {"0", "27", "20", "127", "27"};
    QList<OrvRecord> records;
    records.reserve(count);
    // Days from 01/01/2009 with a plain month table (2009 and 2010 are no leap years).
    static const int monthLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int day = 1, month = 1, year = 2009;
    for (int i = 0; i < count; ++i) {
        const QByteArray date = QByteArray::number(day).rightJustified(2, '0') + '/' +
                                QByteArray::number(month).rightJustified(2, '0') + '/' +
                                QByteArray::number(year);
        records.append({"S-" + QByteArray::number(i + 1), date, errors[i % 5]});
        if (++day > monthLength[month - 1]) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
    return orvText(records);
}

QByteArray scrambled(const QByteArray& plain)
{
    const auto* begin = reinterpret_cast<const std::uint8_t*>(plain.constData());
    const std::vector<std::uint8_t> out =
        kestrava::encodeBytes(std::span<const std::uint8_t>(begin, std::size_t(plain.size())));
    return QByteArray(reinterpret_cast<const char*>(out.data()), qsizetype(out.size()));
}

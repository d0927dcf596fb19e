// Any bytes as an Access file: opened, every table and value read as the import reads them, and
// the house's own pass over them. Never a crash or a hang, and a value is read only on a row.
#include "data/access_reader.h"
#include "data/access_rows.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        AccessReader reader;
        if (reader.openBytes(bytes) != AccessReader::Opened::Ok)
            return 0;
        for (const QString &table : reader.tables()) {
            if (reader.openTable(table) != AccessReader::TableOpened::Ok)
                continue;
            const auto columns = reader.columns();
            while (reader.next() == AccessReader::Row::Ok) {
                for (int c = 0; c < int(columns.size()); ++c) {
                    if (reader.isNull(c))
                        continue;
                    QString text;
                    qint64 mantissa = 0;
                    int scale = 0;
                    switch (columns[size_t(c)].type) {
                    case AccessReader::Type::Text:
                    case AccessReader::Type::Memo:
                        (void)reader.text(c, &text);
                        break;
                    case AccessReader::Type::Decimal:
                        (void)reader.decimal(c, &mantissa, &scale);
                        break;
                    case AccessReader::Type::Currency:
                        (void)reader.currency(c);
                        break;
                    case AccessReader::Type::Single:
                    case AccessReader::Type::Double:
                    case AccessReader::Type::DateTime:
                        (void)accesshouse::detail::dateTimeText(reader.real(c));
                        break;
                    case AccessReader::Type::Byte:
                    case AccessReader::Type::Integer:
                    case AccessReader::Type::Long:
                        (void)reader.integer(c);
                        break;
                    case AccessReader::Type::Other:
                        break;
                    }
                }
            }
        }
    }
    AccessReader reader;
    if (reader.openBytes(bytes) != AccessReader::Opened::Ok)
        return 0;
    accesshouse::Report report;
    try {
        accesshouse::detail::readHouse(reader, report, nullptr, {});
    } catch (const accesshouse::detail::Stop &stop) {
        if (stop.failure.problem == accesshouse::Problem::None)
            std::abort();
    }
    return 0;
}

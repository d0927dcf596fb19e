// Any connection string parses without crashing; a built one gives back its parts.
#include "data/connection_string.h"

#include <QStringList>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)parseConnectionString(text);

    // Split the input into directory, file and password at the first two NUL bytes.
    const QStringList parts = text.split(QChar(u'\0'));
    if (parts.size() < 3)
        return 0;
    const QString &dir = parts[0], &file = parts[1], &password = parts[2];
    // Any folder and password, quoted where needed; the file name is a plain name.
    if (dir.isEmpty() || file.isEmpty() || file.contains(u'\\'))
        return 0;
    const ConnectionTarget t = parseConnectionString(buildConnectionString(dir, file, password));
    if (!t.valid || t.password != password)
        std::abort();
    // A POSIX folder keeps its "\" characters; a Windows one has them all as separators.
    QString expected = dir + u'/' + file;
    if (!dir.startsWith(u'/'))
        expected.replace(u'\\', u'/');
    while (expected.contains(QStringLiteral("//")))
        expected.replace(QStringLiteral("//"), QStringLiteral("/"));
    if (t.dataSource != expected)
        std::abort();
    return 0;
}

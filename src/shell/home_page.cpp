#include "shell/home_page.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <QUrl>
#include <memory>

using namespace Qt::Literals::StringLiterals;

QString homePageUrl()
{
    // Browsers cannot read Qt resources: put a copy where they can. A fixed name in the shared
    // temporary folder could be anyone's file, so the copy is a private temporary file (owner
    // only, an unguessable name), made once and removed when the program ends.
    static std::unique_ptr<QTemporaryFile> copy;
    if (!copy || !copy->exists()) {
        // The resources sit in a static library: without this the linker may leave them out.
        Q_INIT_RESOURCE(quillon);
        QFile page(u":/quillon/home.html"_s);
        auto file = std::make_unique<QTemporaryFile>(QDir::temp().filePath(u"quillon-home-XXXXXX.html"_s));
        if (!page.open(QIODevice::ReadOnly) || !file->open() || file->write(page.readAll()) < 0 ||
            !file->flush())
            return {};
        file->close();
        copy = std::move(file);
    }
    return QUrl::fromLocalFile(copy->fileName()).toString();
}

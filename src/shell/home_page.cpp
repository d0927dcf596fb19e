#include "shell/home_page.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

QString homePageUrl()
{
    // Browsers cannot read Qt resources: put a copy where they can.
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    const QString target = QDir(dir).filePath(u"quillon-home.html"_s);
    QFile::remove(target);
    QFile::copy(u":/quillon/home.html"_s, target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return QUrl::fromLocalFile(target).toString();
}

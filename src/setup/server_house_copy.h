#pragma once

#include <QString>
#include <QStringList>

// Backup and the copy before a data initialization where the house lives on a server: a
// consistent snapshot written as a house file that single-desk Quillon opens as it is.
namespace setup {

// Writes the snapshot to `target`, with the same refusals and the same all-or-nothing
// replacement as a copy of the file. Returns why it failed, or empty text.
QString backupServerHouse(const QString &target);

// Runs `statements` (the wipe) in one transaction that first holds off every other desk's
// writes and keeps a snapshot beside the settings file; `copyPath` receives where. Nothing is
// wiped unless the copy was made. Returns why it failed, or empty text.
QString wipeServerHouse(const QStringList &statements, QString *copyPath);

} // namespace setup

#pragma once

#include <QString>
#include <QStringList>

// Process-wide database settings. The login window's load sets them; nothing changes them later.
namespace Module1 {

extern QString DbFileName;
extern QString DbPassword;

// Directory of the running executable, unless a test or tool has pointed it elsewhere.
QString programDirectory();
void setProgramDirectory(const QString &dir);

// Folders that belong to the system's installed programs (/usr and the like).
QStringList systemProgramRoots();
// True when a program in this folder was installed with the system (a package), so its folder
// is not the desk's; false for a folder of its own (a build tree, a copy on a USB stick).
// Decided by where the folder is, never by whether it is writable: it is, for root.
bool isInstalledProgramDirectory(const QString &programDir, const QStringList &systemRoots);
// The user's own folder for Quillon's data (~/.local/share/quillon on Linux).
QString userDataDirectory();

// The folder of the house: the database file and the settings beside it. Beside the program when
// it runs from a folder of its own; in the user's data folder when it is installed.
QString houseDirectory();
// The database file in the folder of the house.
QString databasePath();

// Built anew on every call, never cached.
QString connectionString();

} // namespace Module1

#pragma once

#include "data/store_target.h"

#include <QString>
#include <QStringList>

// The house file's name, as the old desk program named it.
inline constexpr QStringView HouseFileName = u"innkeep.mdb";
// The old desk program's database password. Every house keeps it, so a house and its backups
// open with it as the old program's did.
inline constexpr QStringView HousePassword = u"58316094";
// The settings beside the house file that may put the house on a server.
inline constexpr QStringView SettingsFileName = u"quillon.ini";

// Where a desk's house is: the folder that holds the house file and the settings beside it.
struct HouseLocation {
    QString folder;
    QString fileName = HouseFileName.toString();
    QString password = HousePassword.toString();
    // The folder is the user's own data folder, the program having been installed with the
    // system (the house may not be there yet).
    bool inUserDataFolder = false;

    QString filePath() const;
    QString settingsPath() const;
    // What a desk here opens: the server the settings name, else the house file. The settings
    // are read anew on every call.
    StoreTarget storeTarget() const;

    bool operator==(const HouseLocation &) const = default;
};

// Folders that belong to the system's installed programs (/usr and the like).
QStringList systemProgramRoots();
// True when a program in this folder was installed with the system (a package), so its folder
// is not the desk's; false for a folder of its own (a build tree, a copy on a USB stick).
// Decided by where the folder is, never by whether it is writable: it is, for root.
bool isInstalledProgramDirectory(const QString &programDir, const QStringList &systemRoots);
// The user's own folder for Quillon's data (~/.local/share/quillon on Linux).
QString userDataDirectory();

// The house of a program in `programDir`: beside it when it runs from a folder of its own; in the
// user's data folder when it was installed.
HouseLocation houseLocationFor(const QString &programDir);

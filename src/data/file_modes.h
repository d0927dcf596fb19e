#pragma once

#include <QString>

class QFile;

// The few calls that differ between systems: file permission bits, private folders and files,
// file identity, and forcing a file's bytes to disk. Elsewhere the program stays portable.
namespace filemodes {

// Creates `path` empty, readable and writable by its owner only; false if it exists or fails.
bool createPrivateFile(const QString &path);
// Gives `target` the permission bits of `model` (a copy as private as its original).
bool copyPermissions(const QString &model, const QString &target);
// Creates `path` and opens it read-write in `file`, readable and writable by its owner only; empty
// when open, else the system's reason. While open it may be put in another file's place.
QString openNewPrivate(QFile &file, const QString &path);
// Puts the file `from` in the place of `to`, replacing it, as one step; empty when done, else the
// system's reason.
QString replaceFile(const QString &from, const QString &to);
// Creates the folder for the owner only (0700); an existing folder is left as it is.
bool makePrivateFolder(const QString &path);
// True when both paths name one file: the same device and inode (hard links included).
bool sameInode(const QString &a, const QString &b);
// True for a regular file (not a folder, device, pipe or socket), following symbolic links.
bool isRegularFile(const QString &path);
// Forces the bytes written through descriptor `fd` to disk.
bool syncToDisk(int fd);

// Takes the exclusive lock of the file open on `fd` without waiting, for as long as it stays open
// (a process that dies lets go of it); false when another open file holds it, or when the file
// was removed meanwhile. A file system without locks lets it be written unlocked.
bool lockWhileOpen(int fd);
// Removes the file at `path` unless another open file holds its lock; true when it is gone.
bool removeUnlessLocked(const QString &path);
// The longest file name, in bytes, the file system of `folder` takes; 0 when it cannot be told.
int maxNameBytes(const QString &folder);

} // namespace filemodes

#pragma once

#include <QString>

// Process-wide database settings. The login window's load sets them; nothing changes them later.
namespace Module1 {

extern QString DbFileName;
extern QString DbPassword;

// Directory of the running executable, unless a test or tool has pointed it elsewhere.
QString programDirectory();
void setProgramDirectory(const QString &dir);

// Built anew on every call, never cached.
QString connectionString();

} // namespace Module1

#pragma once

#include <QString>

// The old desk program's house the import rows bring across, and libmdb's own read of it.
namespace accessbench {

// stays-250k.mdb unpacked once under `dataRoot`; the test houses' plain.mdb when quick.
QString house(const QString &dataRoot, bool quick);
// Every row of the file's nine tables read by libmdb with every column bound as text, as
// mdb-export reads them; returns the rows read. Throws std::runtime_error.
qint64 bareRead(const QString &path);

} // namespace accessbench

#pragma once

#include <QString>

// The tests write their own checks in Jet's words (select top 1, [table], 房间ID unquoted), as the
// house's first program did; a server needs them in its own. The program's SQL is written for
// both stores and never comes through here.
namespace testsql {

// `sql` as PostgreSQL reads it: brackets as quotes, names that mix Chinese with capitals quoted
// (the server would fold 房间ID to 房间id), "top N" as "limit N", and a plain "select *" or a
// "top" in key order, as the file gives it.
QString forServer(const QString &sql);

} // namespace testsql

#pragma once

#include "hotel/outcome.h"
#include "hotel/records.h"
#include "hotel/session.h"

#include <QVariantList>
#include <optional>

// Single rows a window shows beside a list.
namespace hotel {

// A room as stored, by its key; none when it has gone.
struct RoomRow {
    Room room;
    QVariantList stored; // every column as the store gave it, for a grid
};
Result<std::optional<RoomRow>> roomByKey(Session *s, Right right, qint64 key);

} // namespace hotel

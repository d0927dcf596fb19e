#pragma once

#include "hotel/outcome.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <optional>

class FlexGrid;
class QWidget;

// The row of a list the operator chose, kept as shown so a write can check it still holds.
namespace ui {

// The chosen row's cells as shown; when no record is chosen (row 0, the header), one message
// says so and the list is empty.
QStringList chosenRecord(QWidget *window, const FlexGrid *grid);
// The chosen row's values as the store gave them; when no record is chosen, the same message
// and nothing.
std::optional<QVariantList> chosenRow(QWidget *window, const FlexGrid *grid);
QString nothingChosenMessage();

} // namespace ui

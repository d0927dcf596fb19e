#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// The data a hotel piles up over the years, made the same way every time from one seed.
namespace benchdata {

struct Shape {
    int floors = 10;
    int rooms = 200;
    int completedStays = 250000;
    int currentStays = 140; // 70 % of the rooms occupied today
    std::uint64_t seed = 20060426;
};

// Small, fast, and the same on every machine (std distributions are not).
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next();
    int below(int n) { return int(next() % std::uint64_t(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }

private:
    std::uint64_t m_state;
};

// The folder (one per shape) that holds innkeep.mdb for that shape, made on first use and
// reused afterwards. Throws std::runtime_error when the file cannot be made.
QString ensureDatabase(const QString &cacheRoot, const Shape &shape);

// Fills an existing database file made by dbbuild with the shape's rows, in one transaction.
void populate(const QString &file, const Shape &shape);

// A room number as the desk writes it: floor and place ("101", "1012").
QString roomNumber(int roomIndex, int floors, int rooms);

} // namespace benchdata

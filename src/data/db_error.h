#pragma once

#include <QString>
#include <exception>

// A failed database or file step, carrying the store's own text for the operator.
class DbError : public std::exception
{
public:
    // Busy and Conflict are not faults of the store: another desk got there first, and the
    // operator is only told to try again or to look again.
    enum class Cause { Failure, Busy, Conflict };

    explicit DbError(QString text, Cause cause = Cause::Failure) : m_text(std::move(text)), m_cause(cause) {}
    const QString &text() const { return m_text; }
    Cause cause() const { return m_cause; }
    const char *what() const noexcept override { return "database error"; }

private:
    QString m_text;
    Cause m_cause;
};

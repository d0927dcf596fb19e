#pragma once

#include <QString>
#include <exception>

// A failed database or file step, carrying the store's own text for the operator.
class DbError : public std::exception
{
public:
    explicit DbError(QString text) : m_text(std::move(text)) {}
    const QString &text() const { return m_text; }
    const char *what() const noexcept override { return "database error"; }

private:
    QString m_text;
};

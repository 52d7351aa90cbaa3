#pragma once

#include <QString>

#include <optional>

// Raised inside a handler when a computation cannot go on (a text that is not a
// number, a division by zero, a single-precision overflow). The event dispatcher
// turns it into the application's general error report; the handler ends there.
class GeneralError {
public:
    explicit GeneralError(QString message)
        : m_message(std::move(message))
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// A decimal number as the program accepts it: optional sign, digits with "." as
// the decimal point, optional exponent; nothing else, no blanks. Words such as
// "inf" and numbers beyond double precision do not parse; an underflow reads 0.
std::optional<double> parseDecimal(QStringView text);

// The same after removing leading and trailing blanks and control characters.
std::optional<double> parseDecimalTrimmed(QStringView text);

// Parse or end the handler with the general error report.
double toNumber(const QString& text);        // untrimmed
double toNumberTrimmed(const QString& text); // trimmed

// Round to single precision; a finite value beyond its range ends the handler
// with the general error report, as a floating-point overflow does.
float toSingle(double value);

// printf-style "%0.Nf" whatever the locale, halves rounded away from zero.
QString formatFixed(double value, int decimals);

// formatFixed without the trailing zeros of the fraction, nor a point left alone:
// "301.325", "48.29", "200".
QString formatFixedTrimmed(double value, int decimals);

// Leading and trailing characters up to the blank removed (the program's trim).
QString trimmed(const QString& text);

#include "export/ImportNumber.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

QString FormatImportNumber(double value, int places, const QString& decimalPoint) {
    if (std::isnan(value)) {
        return QStringLiteral("NAN");
    }
    if (std::isinf(value)) {
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    }

    // "d.ddddddddddddddddde+XX": the 18 significant digits and the exponent,
    // exactly as glibc renders the double (correctly rounded).
    char text[40];
    std::snprintf(text, sizeof text, "%.17e", std::fabs(value));
    std::string digits;
    digits.push_back(text[0]);
    digits.append(text + 2, 17);
    const int exponent = std::atoi(text + 20);

    // Keep the digits down to the last written place; `kept` may fall outside
    // the 18 digits on either side.
    const int kept = exponent + 1 + places;
    std::string scaled; // the value times 10^places, rounded, as decimal digits
    if (kept >= static_cast<int>(digits.size())) {
        scaled = digits + std::string(static_cast<std::size_t>(kept) - digits.size(), '0');
    } else if (kept >= 0) {
        scaled = digits.substr(0, static_cast<std::size_t>(kept));
        if (digits[static_cast<std::size_t>(kept)] >= '5') {
            int i = static_cast<int>(scaled.size()) - 1;
            for (; i >= 0 && scaled[static_cast<std::size_t>(i)] == '9'; --i) {
                scaled[static_cast<std::size_t>(i)] = '0';
            }
            if (i < 0) {
                scaled.insert(scaled.begin(), '1');
            } else {
                ++scaled[static_cast<std::size_t>(i)];
            }
        }
    }
    const bool zero = scaled.find_first_not_of('0') == std::string::npos;
    if (scaled.size() < static_cast<std::size_t>(places) + 1) {
        scaled.insert(0, static_cast<std::size_t>(places) + 1 - scaled.size(), '0');
    }
    // Leading zeros of the integer part beyond the first one.
    const std::size_t intDigits = scaled.size() - static_cast<std::size_t>(places);
    std::size_t skip = 0;
    while (skip + 1 < intDigits && scaled[skip] == '0') {
        ++skip;
    }

    QString result;
    if (value < 0 && !zero) {
        result += QLatin1Char('-');
    }
    result += QLatin1String(scaled.data() + skip, static_cast<qsizetype>(intDigits - skip));
    if (places > 0) {
        result += decimalPoint;
        result += QLatin1String(scaled.data() + intDigits, places);
    }
    return result;
}

#include "db/QuotedText.h"

std::optional<QString> ReadQuotedText(const QString& s, int& i) {
    const QChar quote = s[i];
    const int n = static_cast<int>(s.size());
    QString text;
    ++i;
    while (i < n) {
        if (s[i] == quote) {
            if (i + 1 < n && s[i + 1] == quote) {
                text += quote;
                i += 2;
                continue;
            }
            ++i;
            return text;
        }
        text += s[i++];
    }
    return std::nullopt;
}

#pragma once

#include <QString>

#include <optional>

// Reads the quoted text that starts at s[i] (the opening quote; a doubled
// quote inside stands for one). On success returns the text without quotes
// and leaves i just past the closing quote; returns std::nullopt when the
// text is not closed.
std::optional<QString> ReadQuotedText(const QString& s, int& i);

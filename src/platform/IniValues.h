#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// How settings values are spelt in an INI file.

// A 32-bit integer in decimal (optionally signed) or in hexadecimal after 0x, 0X
// or $ (up to 8 digits, taken as the 32-bit pattern). Anything else is no integer.
std::optional<int> DecodeInteger(const QString& text);

// A list as comma-separated items. An item that is empty or holds a comma, a
// double quote, a blank or a control character is enclosed in double quotes,
// inner quotes doubled: {"12", "a b", "x\"y"} gives 12,"a b","x""y".
QString EncodeCommaList(const QStringList& items);

// The reverse: splits at commas, and at blanks and control characters outside
// quotes; a quoted item ends at its closing quote (or at the end of the text).
QStringList DecodeCommaList(const QString& text);

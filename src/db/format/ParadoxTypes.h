#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <cstdint>
#include <variant>

// Field types of a Paradox table, by their type code in the header.
enum class TFieldType : std::uint8_t {
    Alpha = 0x01,     // A: text in the table's code page
    Date = 0x02,      // D
    Short = 0x03,     // S: signed 16-bit
    Long = 0x04,      // I: signed 32-bit
    Money = 0x05,     // $: double
    Number = 0x06,    // N: double
    Logical = 0x09,   // L
    Memo = 0x0C,      // M: text blob
    Binary = 0x0D,    // B: binary blob
    FmtMemo = 0x0E,   // F: formatted memo blob
    Ole = 0x0F,       // O: OLE blob
    Graphic = 0x10,   // G: graphic blob
    Time = 0x14,      // T: milliseconds since midnight
    Timestamp = 0x15, // @
    AutoInc = 0x16,   // +: stored like a Long
    BCD = 0x17,       // #: 17 bytes, the size byte holds the decimals
    Bytes = 0x18,     // Y: raw bytes
};

// The one-letter name of a type as the format's tools print it ("A", "N", "$", ...).
char FieldTypeLetter(TFieldType type);

// True for M, B, F, O and G: the value may live in the .mb file.
bool IsBlobType(TFieldType type);

// One field of a table as its header declares it.
struct TFieldDef {
    QString Name;
    TFieldType Type = TFieldType::Alpha;
    int Size = 0;     // bytes in the record (17 for BCD)
    int Decimals = 0; // BCD only: the number of decimal places
    int Number = 0;   // 1-based position in the record
};

// A decoded field value. std::monostate is a blank (NULL) value.
//  bool       L
//  qint64     S, I, +
//  double     N, $, # (BCD as the nearest double)
//  QString    A, M, F (decoded from the table's code page)
//  QDate      D
//  QTime      T
//  QDateTime  @ (the stored wall-clock time, as Qt::UTC so that no zone shifts it)
//  QByteArray B, O, G (G without its 8-byte prefix), Y
using TValue = std::variant<std::monostate, bool, qint64, double, QString, QDate, QTime, QDateTime,
                            QByteArray>;

inline bool IsBlank(const TValue& value) {
    return std::holds_alternative<std::monostate>(value);
}

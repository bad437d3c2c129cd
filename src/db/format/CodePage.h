#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <span>
#include <vector>

// The character set of a table, chosen by the code page number its header
// holds (437, 850, 1252, ...). Single-byte code pages convert through tables
// built once; the multi-byte ones go through Qt's converter.
class TCodePage {
public:
    // Raises EDBEngineError(General) naming `where` for a code page we cannot decode.
    TCodePage(int number, const QString& where);

    int Number() const { return FNumber; }
    QString Decode(std::span<const std::uint8_t> bytes) const;
    // The bytes of `text`, or std::nullopt when a character has no code in this page.
    std::optional<QByteArray> Encode(const QString& text) const;

    // The converter name of a code page, or nullptr when it is not one we know.
    static const char* ConverterName(int number);

private:
    int FNumber;
    const char* FName;
    bool FSingleByte = false;
    std::array<char16_t, 256> FTable{};
    std::vector<std::uint8_t> FReverse; // UTF-16 unit -> byte, 0 where the page has none
};

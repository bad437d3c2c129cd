#include "CodePage.h"

#include "DBEngineError.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

struct TCodePageName {
    int Number;
    const char* Name;
    bool SingleByte;
};

// The DOS and Windows code pages the engine's language drivers use.
constexpr TCodePageName KnownCodePages[] = {
    {437, "IBM437", true},        {737, "IBM737", true},        {775, "IBM775", true},
    {850, "IBM850", true},        {852, "IBM852", true},        {855, "IBM855", true},
    {857, "IBM857", true},        {860, "IBM860", true},        {861, "IBM861", true},
    {862, "IBM862", true},        {863, "IBM863", true},        {864, "IBM864", true},
    {865, "IBM865", true},        {866, "IBM866", true},        {869, "IBM869", true},
    {874, "windows-874", true},   {932, "Shift_JIS", false},    {936, "GBK", false},
    {949, "windows-949", false},  {950, "Big5", false},         {1250, "windows-1250", true},
    {1251, "windows-1251", true}, {1252, "windows-1252", true}, {1253, "windows-1253", true},
    {1254, "windows-1254", true}, {1255, "windows-1255", true}, {1256, "windows-1256", true},
    {1257, "windows-1257", true}, {1258, "windows-1258", true},
};

const TCodePageName* Lookup(int number) {
    for (const auto& cp : KnownCodePages) {
        if (cp.Number == number)
            return &cp;
    }
    return nullptr;
}

} // namespace

const char* TCodePage::ConverterName(int number) {
    const TCodePageName* cp = Lookup(number);
    return cp ? cp->Name : nullptr;
}

TCodePage::TCodePage(int number, const QString& where) : FNumber(number) {
    const TCodePageName* cp = Lookup(number);
    if (!cp || !QStringDecoder(cp->Name).isValid())
        throw EDBEngineError(DBErrorCode::General,
                             QStringLiteral("%1: unknown code page %2").arg(where).arg(number));
    FName = cp->Name;
    FSingleByte = cp->SingleByte;
    if (FSingleByte) {
        QStringDecoder decoder(FName);
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString one = decoder.decode(QByteArrayView(&byte, 1));
            FTable[static_cast<std::size_t>(b)] = one.size() == 1 ? one.at(0).unicode() : u'\uFFFD';
        }
        FReverse.assign(0x10000, 0);
        for (int b = 255; b >= 1; --b) {
            const char16_t unit = FTable[static_cast<std::size_t>(b)];
            if (unit != u'\uFFFD')
                FReverse[unit] = static_cast<std::uint8_t>(b);
        }
    }
}

QString TCodePage::Decode(std::span<const std::uint8_t> bytes) const {
    if (FSingleByte) {
        QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
        QChar* out = text.data();
        for (std::uint8_t b : bytes)
            *out++ = QChar(FTable[b]);
        return text;
    }
    QStringDecoder decoder(FName);
    return decoder.decode(QByteArrayView(reinterpret_cast<const char*>(bytes.data()),
                                         static_cast<qsizetype>(bytes.size())));
}

std::optional<QByteArray> TCodePage::Encode(const QString& text) const {
    if (FSingleByte) {
        QByteArray bytes(text.size(), Qt::Uninitialized);
        char* out = bytes.data();
        for (const QChar c : text) {
            const std::uint8_t b = FReverse[c.unicode()];
            if (b == 0)
                return std::nullopt;
            *out++ = static_cast<char>(b);
        }
        return bytes;
    }
    QStringEncoder encoder(FName);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

// Feeds arbitrary bytes to the INI reader and writer. Checks that nothing is
// lost: unchanged content serialises to the same bytes, a written key reads
// back, and a comma list survives a round trip.
#include "platform/IniFile.h"
#include "platform/IniValues.h"

#include <cstdint>
#include <cstdlib>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TIniFile ini(QStringLiteral("fuzz.ini"), content);
    Require(ini.Content() == content);

    const QString hvn = QStringLiteral("HVN");
    const QString inbox = ini.ReadString(hvn, QStringLiteral("Inbox"), QString());
    Require(inbox.size() <= TIniFile::MaxValueLength);
    ini.ReadInteger(QStringLiteral("CSV"), QStringLiteral("CollapseTasks"), 1);
    ini.ReadBool(QStringLiteral("OPTIONS"), QStringLiteral("INCMILELOG"), false);
    const QStringList items = DecodeCommaList(inbox);
    Require(DecodeCommaList(EncodeCommaList(items)) == items);
    DecodeInteger(inbox);

    ini.WriteString(hvn, QStringLiteral("Inbox"), QStringLiteral("/fuzz"));
    ini.WriteInteger(QStringLiteral("Fuzz Section"), QStringLiteral("Key"), -42);
    Require(ini.ReadString(hvn, QStringLiteral("inbox"), QString()) == QStringLiteral("/fuzz"));
    Require(ini.ReadInteger(QStringLiteral("fuzz section"), QStringLiteral("KEY"), 0) == -42);
    const QByteArray written = ini.Content();
    TIniFile reread(QStringLiteral("fuzz.ini"), written);
    Require(reread.ReadString(hvn, QStringLiteral("Inbox"), QString()) == QStringLiteral("/fuzz"));
    Require(reread.Content() == written);
    return 0;
}

// Feeds arbitrary bytes to the .reg parser: it either rejects the file with a
// clear error or answers look-ups, and never crashes.
#include "platform/RegistryStore.h"

#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const TRegistryStore store = TRegistryStore::Parse(QStringLiteral("fuzz.reg"), content);
        for (const char* key : {"HKEY_LOCAL_MACHINE\\SOFTWARE", "HKEY_LOCAL_MACHINE\\SOFTWARE\\K",
                                "HKEY_CURRENT_USER\\K", "HKEY_LOCAL_MACHINE"}) {
            const QString path = QLatin1String(key);
            store.KeyExists(path);
            for (const char* name : {"", "a", "Name", "DATAPATH"})
                if (const TRegValue* value = store.FindValue(path, QLatin1String(name)))
                    (void)value->Data.size();
        }
    } catch (const std::runtime_error&) {
    }
    return 0;
}

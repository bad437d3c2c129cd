#include "estimating/ErrorText.h"

#include "db/format/DBEngineError.h"

QString ErrorText(const std::exception& error) {
    if (const auto* engine = dynamic_cast<const EDBEngineError*>(&error))
        return engine->Message();
    return QString::fromUtf8(error.what());
}

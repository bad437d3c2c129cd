#include "DBEngineError.h"

EDBEngineError::EDBEngineError(int code, const QString& message)
    : EDBEngineError(std::vector<int>{code}, message) {}

EDBEngineError::EDBEngineError(std::vector<int> codes, const QString& message)
    : std::runtime_error(message.toStdString()), FCodes(std::move(codes)), FMessage(message) {
    if (FCodes.empty())
        FCodes.push_back(DBErrorCode::General);
}

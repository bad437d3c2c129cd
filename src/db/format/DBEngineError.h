#pragma once

#include <QString>

#include <stdexcept>
#include <vector>

// Engine error codes used by the program. Codes follow the engine's numbering
// so that callers can test them (10243: table open exclusively elsewhere).
namespace DBErrorCode {
constexpr int General = 8449;        // generic failure (I/O, unsupported request)
constexpr int Corrupt = 8961;        // a table file failed validation
constexpr int NotFound = 10024;      // table, field or record not found
constexpr int Locked = 10241;        // record or table locked by another user
constexpr int ExclusiveOpen = 10243; // table open exclusively elsewhere
constexpr int ReadOnly = 10253;      // the file cannot be written
constexpr int SqlSyntax = 11949;     // the SQL text is not valid in the dialect
constexpr int KeyViolation = 9729;   // a write would change a key or a maintained index
constexpr int ClosedDataset = 8200;  // operation on a closed dataset
} // namespace DBErrorCode

// The error every engine operation raises. It carries a list of error codes
// (the first is the main one) and a message that names the file concerned.
class EDBEngineError : public std::runtime_error {
public:
    EDBEngineError(int code, const QString& message);
    EDBEngineError(std::vector<int> codes, const QString& message);

    // The first error code.
    int ErrorCode() const { return FCodes.front(); }
    const std::vector<int>& ErrorCodes() const { return FCodes; }
    const QString& Message() const { return FMessage; }

private:
    std::vector<int> FCodes;
    QString FMessage;
};

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Sets (or, with std::nullopt, unsets) an environment variable for the life of
// the object and restores the previous state afterwards.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const std::optional<QString>& value) : FName(name) {
        if (qEnvironmentVariableIsSet(name))
            FOld = qgetenv(name);
        if (value)
            qputenv(name, value->toLocal8Bit());
        else
            qunsetenv(name);
    }
    ~TScopedEnv() {
        if (FOld)
            qputenv(FName, *FOld);
        else
            qunsetenv(FName);
    }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    const char* FName;
    std::optional<QByteArray> FOld;
};

#pragma once

#include <QString>

#include <cstdio>

// The modes of varnel-table. Each returns the process exit code: 0 on
// success, 1 when the table cannot be read (the engine error is on `err`).

// Field names, then every record in chain order, tab-separated.
int DumpTable(const QString& file, std::FILE* out, std::FILE* err);

// Version, code page, record count, key field count, then one line per field.
int PrintSchema(const QString& file, std::FILE* out, std::FILE* err);

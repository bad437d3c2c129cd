#pragma once

#include <QByteArray>
#include <QString>

// Text and whole-file helpers shared by the files the program keeps itself
// (settings, diagnostic log, registry store).

// Decodes `bytes` as UTF-8, or as Windows-1252 when they are not valid UTF-8.
// `utf8` (optional) receives which of the two was used.
QString DecodeUtf8Or1252(const QByteArray& bytes, bool* utf8 = nullptr);

// Encodes `text` as Windows-1252. Returns false (and leaves `out` alone) when a
// character has no Windows-1252 form.
bool EncodeWindows1252(const QString& text, QByteArray& out);

// Whether `path` exists and must not be written: this user may not write it, or
// it is write-protected (no write permission for anyone), which holds for root too.
bool IsWriteProtected(const QString& path);

// Replaces the file `path` by `data` through a temporary file in the same folder
// and a rename, so that a reader sees the old file or the new one, never half.
// An existing file that is write-protected is left alone. Returns false on failure.
bool ReplaceFileAtomically(const QString& path, const QByteArray& data);

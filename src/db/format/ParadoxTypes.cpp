#include "ParadoxTypes.h"

char FieldTypeLetter(TFieldType type) {
    switch (type) {
    case TFieldType::Alpha:
        return 'A';
    case TFieldType::Date:
        return 'D';
    case TFieldType::Short:
        return 'S';
    case TFieldType::Long:
        return 'I';
    case TFieldType::Money:
        return '$';
    case TFieldType::Number:
        return 'N';
    case TFieldType::Logical:
        return 'L';
    case TFieldType::Memo:
        return 'M';
    case TFieldType::Binary:
        return 'B';
    case TFieldType::FmtMemo:
        return 'F';
    case TFieldType::Ole:
        return 'O';
    case TFieldType::Graphic:
        return 'G';
    case TFieldType::Time:
        return 'T';
    case TFieldType::Timestamp:
        return '@';
    case TFieldType::AutoInc:
        return '+';
    case TFieldType::BCD:
        return '#';
    case TFieldType::Bytes:
        return 'Y';
    }
    return '?';
}

bool IsBlobType(TFieldType type) {
    switch (type) {
    case TFieldType::Memo:
    case TFieldType::Binary:
    case TFieldType::FmtMemo:
    case TFieldType::Ole:
    case TFieldType::Graphic:
        return true;
    default:
        return false;
    }
}

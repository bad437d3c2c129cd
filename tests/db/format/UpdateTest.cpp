// In-place updates of real tables: only the changed fields' bytes move, and
// every refusal leaves the file as it was.
#include "FormatTestSupport.h"

#include "db/format/BlobFile.h"
#include "db/format/CodePage.h"
#include "db/format/DBEngineError.h"
#include "db/format/FileLock.h"

#include <QtEndian>

extern "C" {
#include <paradox.h>
}

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TRecordAt {
    TRecordPos Pos;
    std::vector<std::uint8_t> Bytes;
};

TRecordAt RecordNumber(const std::filesystem::path& file, int n) {
    TRecordAt found;
    int i = 0;
    TParadoxTable::Open(file)->ForEachRecord([&](const TRecordView& record) {
        if (++i != n)
            return true;
        found.Pos = record.Position();
        found.Bytes.assign(record.Bytes().begin(), record.Bytes().end());
        return false;
    });
    return found;
}

// Every file of a folder and its bytes.
std::map<std::string, std::vector<std::uint8_t>> FolderBytes(const QTemporaryDir& dir) {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path().toStdString()))
        files[entry.path().filename().string()] = FileBytes(entry.path());
    return files;
}

// Byte offsets in the file at which `after` differs from `before`.
std::vector<qint64> ChangedOffsets(const std::vector<std::uint8_t>& before,
                                   const std::vector<std::uint8_t>& after) {
    std::vector<qint64> offsets;
    for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
        if (before[i] != after[i])
            offsets.push_back(static_cast<qint64>(i));
    }
    return offsets;
}

TEST(UpdateRecordInPlace, ChangesExactlyTheBytesOfTheChangedFields) {
    REQUIRE_FIXTURES();
    QTemporaryDir dir;
    const auto file = CopyFixture(dir, {"dbdemos/customer.db", "dbdemos/customer.px",
                                        "dbdemos/customer.xg0", "dbdemos/customer.yg0"});
    const auto table = TParadoxTable::Open(file);
    const int taxRate = table->FieldIndex(QStringLiteral("TaxRate"));
    const int contact = table->FieldIndex(QStringLiteral("Contact"));
    const int state = table->FieldIndex(QStringLiteral("State"));
    // Record 5 lies in physical block 8, the second block of the chain.
    const TRecordAt record = RecordNumber(file, 5);
    ASSERT_EQ(record.Pos.Block, 8);
    const auto before = FileBytes(file);
    const auto rowsBefore = ReadAll(*table);

    UpdateRecordInPlace(
        file, record.Pos, record.Bytes,
        {{contact, QStringLiteral("Ann Other")}, {taxRate, 7.25}, {state, TValue()}});

    const auto after = FileBytes(file);
    ASSERT_EQ(after.size(), before.size());
    qint64 fieldStart[3] = {0, 0, 0};
    int fieldSize[3] = {0, 0, 0};
    const int changed[3] = {contact, taxRate, state};
    for (int k = 0; k < 3; ++k) {
        qint64 offset = 0;
        for (int f = 0; f < changed[k]; ++f)
            offset += table->Fields()[static_cast<std::size_t>(f)].Size;
        fieldStart[k] = record.Pos.Offset + offset;
        fieldSize[k] = table->Fields()[static_cast<std::size_t>(changed[k])].Size;
    }
    for (qint64 offset : ChangedOffsets(before, after)) {
        bool inside = false;
        for (int k = 0; k < 3; ++k)
            inside = inside || (offset >= fieldStart[k] && offset < fieldStart[k] + fieldSize[k]);
        EXPECT_TRUE(inside) << "byte " << offset << " changed outside the updated fields";
    }

    auto rowsAfter = ReadAll(*TParadoxTable::Open(file));
    auto expected = rowsBefore;
    expected[4][static_cast<std::size_t>(contact)] = QStringLiteral("Ann Other");
    expected[4][static_cast<std::size_t>(taxRate)] = 7.25;
    expected[4][static_cast<std::size_t>(state)] = TValue();
    EXPECT_EQ(rowsAfter, expected);
}

TEST(UpdateRecordInPlace, RefusalsLeaveTheFileUntouched) {
    REQUIRE_FIXTURES();
    const struct {
        const char* Case;
        std::vector<std::string> Files;
        const char* Field;
        TValue Value;
        int Code;
        bool StaleBytes = false;
        qint64 DamageOffset = -1;  // bytes 01 00 put there before the update
        const char* DamageIn = ""; // in this file of the copy; the table when empty
    } cases[] = {
        {"key field",
         {"dbdemos/customer.db", "dbdemos/customer.px"},
         "CustNo",
         1.0,
         DBErrorCode::KeyViolation},
        {"maintained composite index",
         {"dbdemos/customer.db", "dbdemos/customer.xg0"},
         "Company",
         QStringLiteral("X"),
         DBErrorCode::KeyViolation},
        {"maintained single-field index",
         {"dbdemos/custoly.db", "dbdemos/custoly.x07"},
         "City",
         QStringLiteral("X"),
         DBErrorCode::KeyViolation},
        {"graphic field",
         {"dbdemos/biolife.db", "dbdemos/biolife.mb"},
         "Graphic",
         QByteArray("BM"),
         DBErrorCode::General},
        {"memo field of a table without its .mb",
         {"dbdemos/custoly.db"},
         "Remarks",
         QStringLiteral("X"),
         DBErrorCode::NotFound},
        {"memo value of the wrong kind",
         {"dbdemos/custoly.db", "dbdemos/custoly.mb"},
         "Remarks",
         qint64{5},
         DBErrorCode::General},
        {"memo text outside the code page",
         {"dbdemos/custoly.db", "dbdemos/custoly.mb"},
         "Remarks",
         QStringLiteral("5 €"),
         DBErrorCode::General},
        // The .mb header's block type becomes 1.
        {"inline memo, damaged .mb header",
         {"dbdemos/custoly.db", "dbdemos/custoly.mb"},
         "Remarks",
         QStringLiteral("X"),
         DBErrorCode::Corrupt,
         false,
         0,
         "custoly.mb"},
        // The free block at 0xA3000 claims 1 chunk instead of 7, so that the
        // walk of the blocks lands inside it.
        {"external memo, damaged .mb block",
         {"dbdemos/events.db", "dbdemos/events.mb"},
         "Event_Description",
         QString(300, QLatin1Char('x')),
         DBErrorCode::Corrupt,
         false,
         0xA3001,
         "events.mb"},
        {"autoincrement field",
         {"dbdemos/custoly.db"},
         "CustNo",
         qint64{99},
         DBErrorCode::KeyViolation},
        {"value too long",
         {"dbdemos/customer.db"},
         "Zip",
         QStringLiteral("12345678901"),
         DBErrorCode::General},
        {"value of the wrong kind",
         {"dbdemos/customer.db"},
         "TaxRate",
         QStringLiteral("x"),
         DBErrorCode::General},
        {"record changed by someone else",
         {"dbdemos/customer.db"},
         "Contact",
         QStringLiteral("X"),
         DBErrorCode::Locked,
         true},
        // Block 1's next link pointed back at itself: a chain that loops.
        {"damaged chain",
         {"dbdemos/customer.db"},
         "Contact",
         QStringLiteral("X"),
         DBErrorCode::Corrupt,
         false,
         2048},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        QTemporaryDir dir;
        const auto file = CopyFixture(dir, c.Files);
        const TRecordAt record = RecordNumber(file, 2);
        if (c.DamageOffset >= 0) {
            const auto damaged = *c.DamageIn ? InDir(dir, c.DamageIn) : file;
            auto bytes = FileBytes(damaged);
            bytes[static_cast<std::size_t>(c.DamageOffset)] = 0x01;
            bytes[static_cast<std::size_t>(c.DamageOffset) + 1] = 0x00;
            WriteBytes(damaged, bytes);
        }
        auto expected = record.Bytes;
        if (c.StaleBytes)
            expected[40] ^= 0x20;
        const auto before = FolderBytes(dir);
        const int field = TParadoxTable::Open(file)->FieldIndex(QString::fromUtf8(c.Field));
        try {
            UpdateRecordInPlace(file, record.Pos, expected, {{field, c.Value}});
            ADD_FAILURE() << "the update was not refused";
        } catch (const EDBEngineError& error) {
            EXPECT_EQ(error.ErrorCode(), c.Code) << error.Message().toStdString();
            EXPECT_FALSE(error.Message().isEmpty());
        }
        EXPECT_EQ(FolderBytes(dir), before);
    }
}

// ---- memo fields -----------------------------------------------------------

// pxlib's reading of the memo `field` of every record of a table: the record
// through PX_get_record, the value through PX_read_blobdata (inline or in the
// .mb). The blob file is handed to pxlib as a plain stream, because
// PX_set_blob_file of pxlib 0.6.8 overruns a stack buffer while it lists the
// blocks, which reading a value does not need. A blank value, and any value
// pxlib fails to read, comes back as std::nullopt.
struct TPxlibMemos {
    std::vector<std::optional<QByteArray>> Values;
    std::vector<int> Mods;
    QString Errors;
};

TPxlibMemos PxlibMemos(const std::filesystem::path& db, const std::filesystem::path& mb,
                       int field) {
    TPxlibMemos result;
    pxdoc_t* doc = PX_new3(
        [](pxdoc_t*, int, const char* message, void* errors) {
            *static_cast<QString*>(errors) += QString::fromUtf8(message) + QLatin1Char('\n');
        },
        nullptr, nullptr, nullptr, &result.Errors);
    FILE* mbFile = std::fopen(mb.c_str(), "rb");
    if (PX_open_file(doc, db.c_str()) == 0 && mbFile) {
        pxblob_t* blob = PX_new_blob(doc);
        pxstream_t stream{};
        stream.type = pxfIOFile;
        stream.mode = pxfFileRead;
        stream.s.fp = mbFile;
        blob->mb_stream = &stream;
        blob->read = [](pxblob_t*, pxstream_t* s, size_t n, void* buffer) {
            return std::fread(buffer, 1, n, s->s.fp);
        };
        blob->seek = [](pxblob_t*, pxstream_t* s, long offset, int whence) {
            return std::fseek(s->s.fp, offset, whence);
        };
        blob->tell = [](pxblob_t*, pxstream_t* s) { return std::ftell(s->s.fp); };
        const pxhead_t* head = doc->px_head;
        int offset = 0;
        for (int f = 0; f < field; ++f)
            offset += head->px_fields[f].px_flen;
        const int size = head->px_fields[field].px_flen;
        std::vector<char> record(static_cast<std::size_t>(head->px_recordsize));
        for (int r = 0; r < head->px_numrecords; ++r) {
            std::optional<QByteArray> value;
            int mod = -1;
            int length = 0;
            if (PX_get_record(doc, r, record.data())) {
                if (char* data =
                        PX_read_blobdata(blob, record.data() + offset, size, &mod, &length)) {
                    value = QByteArray(data, length);
                    doc->free(doc, data);
                }
            }
            result.Values.push_back(value);
            result.Mods.push_back(mod);
        }
        blob->mb_stream = nullptr;
        PX_delete_blob(blob);
        doc->px_blob = nullptr;
    }
    if (mbFile)
        std::fclose(mbFile);
    PX_close(doc);
    PX_delete(doc);
    return result;
}

// A text of `length` characters (one of them outside ASCII), or a blank.
TValue MemoText(int length) {
    if (length < 0)
        return TValue();
    QString text;
    for (int i = 0; i < length; ++i)
        text += i % 37 == 3 ? QChar(0xE9) : QChar(u'a' + i % 26);
    return text;
}

// Updates the memo of record `n` through a sequence of values, each from the
// state the one before left, and checks every step against the format: only
// the memo's bytes change in the .db; an inline or blank value leaves the .mb
// as it was; a longer one adds exactly one block at the end, under the next
// modification number, and changes no other byte but the header's count;
// our reader (also one opened before the update) and pxlib read the result.
void UpdateMemoThroughEveryKindOfValue(const std::filesystem::path& db,
                                       const std::filesystem::path& mb, const char* fieldName,
                                       int n) {
    const auto reader = TParadoxTable::Open(db);
    const int field = reader->FieldIndex(QString::fromUtf8(fieldName));
    ASSERT_GE(field, 0);
    const TFieldDef& def = reader->Fields()[static_cast<std::size_t>(field)];
    const int leader = def.Size - 10;
    qint64 fieldOffset = 0;
    for (int f = 0; f < field; ++f)
        fieldOffset += reader->Fields()[static_cast<std::size_t>(f)].Size;
    const TCodePage codePage(reader->CodePage(), QStringLiteral("test"));
    const struct {
        const char* Case;
        int Length; // -1: blank
    } steps[] = {
        {"external, one past the leader", leader + 1},
        {"inline, filling the leader", leader},
        {"external, 2 KB in a group block", 2048},
        {"external, past 2 KB in a block of its own", 2049},
        {"external, several 4 KB chunks", 9000},
        {"blank", -1},
        {"inline, short", std::max(1, leader / 2)},
        {"empty text", 0},
        {"external again", 500},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.Case);
        const TValue value = MemoText(step.Length);
        const TValue stored = step.Length > 0 ? value : TValue();
        const QByteArray encoded =
            step.Length > 0 ? *codePage.Encode(std::get<QString>(value)) : QByteArray();
        const bool external = encoded.size() > leader;

        auto expected = ReadAll(*reader); // also leaves the reader's .mb open
        expected[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(field)] = stored;
        const auto dbBefore = FileBytes(db);
        const auto mbBefore = FileBytes(mb);
        const std::uint16_t countBefore = qFromLittleEndian<std::uint16_t>(mbBefore.data() + 3);
        const TRecordAt record = RecordNumber(db, n);

        UpdateRecordInPlace(db, record.Pos, record.Bytes, {{field, value}});

        EXPECT_EQ(ReadAll(*reader), expected);
        EXPECT_EQ(ReadAll(*TParadoxTable::Open(db)), expected);
        const auto dbAfter = FileBytes(db);
        ASSERT_EQ(dbAfter.size(), dbBefore.size());
        const qint64 start = record.Pos.Offset + fieldOffset;
        for (qint64 offset : ChangedOffsets(dbBefore, dbAfter))
            EXPECT_TRUE(offset >= start && offset < start + def.Size)
                << "byte " << offset << " of the .db changed outside the memo";

        // The field: leader, then {pointer, length, mod}.
        const std::uint8_t* bytes = dbAfter.data() + start;
        const auto u32 = [&](int at) { return qFromLittleEndian<std::uint32_t>(bytes + at); };
        EXPECT_EQ(u32(leader + 4), static_cast<std::uint32_t>(encoded.size()));
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(bytes),
                             std::min<qsizetype>(leader, encoded.size())),
                  encoded.left(leader));
        const auto mbAfter = FileBytes(mb);
        if (!external) {
            EXPECT_EQ(u32(leader), 0u);
            EXPECT_EQ(qFromLittleEndian<std::uint16_t>(bytes + leader + 8), 0);
            EXPECT_TRUE(std::all_of(bytes + std::max<qsizetype>(encoded.size(), 0), bytes + leader,
                                    [](std::uint8_t b) { return b == 0; }));
            EXPECT_EQ(mbAfter, mbBefore);
        } else {
            const auto mod = static_cast<std::uint16_t>(countBefore + 1);
            const bool group = encoded.size() <= 2048;
            const std::size_t blockSize =
                group ? 4096u : static_cast<std::size_t>((9 + encoded.size() + 4095) / 4096 * 4096);
            ASSERT_EQ(mbAfter.size(), mbBefore.size() + blockSize);
            EXPECT_EQ(u32(leader),
                      static_cast<std::uint32_t>(mbBefore.size()) | (group ? 63u : 0xFFu));
            EXPECT_EQ(qFromLittleEndian<std::uint16_t>(bytes + leader + 8), mod);
            EXPECT_EQ(qFromLittleEndian<std::uint16_t>(mbAfter.data() + 3), mod);
            auto unchanged = mbAfter;
            unchanged.resize(mbBefore.size());
            unchanged[3] = mbBefore[3];
            unchanged[4] = mbBefore[4];
            EXPECT_EQ(unchanged, mbBefore) << "the .mb changed before its end";
            const std::uint8_t* block = mbAfter.data() + mbBefore.size();
            EXPECT_EQ(block[0], group ? 3 : 2);
            EXPECT_EQ(qFromLittleEndian<std::uint16_t>(block + 1), blockSize / 4096);
            // The entry or block head carries the same modification number.
            EXPECT_EQ(qFromLittleEndian<std::uint16_t>(block + (group ? 12 + 5 * 63 + 2 : 7)), mod);
        }

        const TPxlibMemos pxlib = PxlibMemos(db, mb, field);
        ASSERT_EQ(pxlib.Values.size(), expected.size()) << pxlib.Errors.toStdString();
        for (std::size_t r = 0; r < expected.size(); ++r) {
            SCOPED_TRACE(testing::Message() << "pxlib, record " << r + 1);
            const TValue& ours = expected[r][static_cast<std::size_t>(field)];
            if (std::holds_alternative<std::monostate>(ours)) {
                EXPECT_FALSE(pxlib.Values[r].has_value());
                continue;
            }
            ASSERT_TRUE(pxlib.Values[r].has_value()) << pxlib.Errors.toStdString();
            const QByteArray& theirs = *pxlib.Values[r];
            EXPECT_EQ(
                codePage.Decode(std::span(reinterpret_cast<const std::uint8_t*>(theirs.data()),
                                          static_cast<std::size_t>(theirs.size()))),
                std::get<QString>(ours));
        }
        if (external) {
            EXPECT_EQ(pxlib.Mods[static_cast<std::size_t>(n - 1)], countBefore + 1);
        }
    }
}

TEST(UpdateRecordInPlace, MemoOfATableOfOurs) {
    QTemporaryDir dir;
    const auto db = InDir(dir, "notes.db");
    {
        TParadoxWriter writer(db,
                              {Field("Id", TFieldType::Long), Field("Name", TFieldType::Alpha, 10),
                               Field("Notes", TFieldType::Memo, 15),
                               Field("Qty", TFieldType::Number)},
                              1);
        const TValue notes[] = {QStringLiteral("abc"), std::get<QString>(MemoText(300)), TValue(),
                                std::get<QString>(MemoText(3000)), QStringLiteral("four")};
        for (int i = 0; i < 5; ++i)
            writer.Append({qint64{i + 1}, QStringLiteral("row %1").arg(i), notes[i], i * 1.5});
        writer.Commit();
    }
    UpdateMemoThroughEveryKindOfValue(db, InDir(dir, "notes.mb"), "Notes", 1);
}

// The engine's own table: its .mb has type-2, type-3 and free blocks and a
// filled-in free-space directory. Record 4's memo is in the .mb already.
TEST(UpdateRecordInPlace, MemoOfARealTable) {
    REQUIRE_FIXTURES();
    QTemporaryDir dir;
    const auto db = CopyFixture(dir, {"dbdemos/events.db", "dbdemos/events.mb", "dbdemos/events.px",
                                      "dbdemos/events.xg0", "dbdemos/events.yg0"});
    UpdateMemoThroughEveryKindOfValue(db, InDir(dir, "events.mb"), "Event_Description", 4);
}

// An append that the file system refuses (the file-size limit stands in for
// a full disk, cutting the first write short or refusing it) raises an error
// naming the .mb and leaves both files exactly as they were; so does a .mb
// locked by another writer. The same update succeeds afterwards.
TEST(UpdateRecordInPlace, AFailedMemoAppendLeavesBothFilesAsTheyWere) {
    REQUIRE_FIXTURES();
    const struct {
        const char* Case;
        int Length;
        qint64 Room; // bytes the .mb may grow by; -1: the .mb is locked instead
        int Code;
    } cases[] = {
        {"group block, cut short", 300, 100, DBErrorCode::General},
        {"single block, cut short", 9000, 4096 + 100, DBErrorCode::General},
        {"no room at all", 300, 0, DBErrorCode::General},
        {".mb locked by another writer", 300, -1, DBErrorCode::ExclusiveOpen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        QTemporaryDir dir;
        const auto db = CopyFixture(dir, {"dbdemos/events.db", "dbdemos/events.mb"});
        const auto mb = InDir(dir, "events.mb");
        const int field = TParadoxTable::Open(db)->FieldIndex(QStringLiteral("Event_Description"));
        const TRecordAt record = RecordNumber(db, 2);
        const auto before = FolderBytes(dir);
        const std::vector<TFieldChange> change = {{field, MemoText(c.Length)}};
        try {
            std::optional<TFileLock> holder;
            rlimit saved{};
            ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
            const auto restore = [&] {
                setrlimit(RLIMIT_FSIZE, &saved);
                std::signal(SIGXFSZ, SIG_DFL);
            };
            if (c.Room < 0) {
                holder.emplace(mb);
            } else {
                std::signal(SIGXFSZ, SIG_IGN);
                rlimit limit = saved;
                limit.rlim_cur = static_cast<rlim_t>(std::filesystem::file_size(mb)) +
                                 static_cast<rlim_t>(c.Room);
                ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
            }
            try {
                UpdateRecordInPlace(db, record.Pos, record.Bytes, change);
            } catch (...) {
                restore();
                throw;
            }
            restore();
            ADD_FAILURE() << "the update did not fail";
        } catch (const EDBEngineError& error) {
            EXPECT_EQ(error.ErrorCode(), c.Code) << error.Message().toStdString();
            EXPECT_TRUE(error.Message().contains(QStringLiteral("events.mb")))
                << error.Message().toStdString();
        }
        EXPECT_EQ(FolderBytes(dir), before);
        UpdateRecordInPlace(db, record.Pos, record.Bytes, change);
        TParadoxTable::Open(db)->ReadAt(record.Pos, [&](const TRecordView& view) {
            EXPECT_EQ(view.Value(field), change[0].Value);
        });
    }
}

// A second process holds the table's lock: the update fails with an engine
// error and the file keeps its bytes; once the holder is gone it succeeds.
TEST(UpdateRecordInPlace, ASecondWriterIsLockedOut) {
    REQUIRE_FIXTURES();
    QTemporaryDir dir;
    const auto file = CopyFixture(dir, {"dbdemos/vendors.db"});
    const TRecordAt record = RecordNumber(file, 1);
    const int preferred = TParadoxTable::Open(file)->FieldIndex(QStringLiteral("Preferred"));
    int locked[2];
    int release[2];
    ASSERT_EQ(pipe(locked), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char byte = 0;
        try {
            const TFileLock lock(file);
            byte = 1;
            (void)!write(locked[1], &byte, 1);
            (void)!read(release[0], &byte, 1);
        } catch (...) {
            (void)!write(locked[1], &byte, 1);
        }
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(locked[0], &byte, 1), 1);
    ASSERT_EQ(byte, 1) << "the helper process could not take the lock";

    const auto before = FileBytes(file);
    try {
        UpdateRecordInPlace(file, record.Pos, record.Bytes, {{preferred, false}});
        ADD_FAILURE() << "the update ran while another process held the lock";
    } catch (const EDBEngineError& error) {
        EXPECT_EQ(error.ErrorCode(), DBErrorCode::ExclusiveOpen);
        EXPECT_TRUE(error.Message().contains(QStringLiteral("vendors.db")));
    }
    EXPECT_EQ(FileBytes(file), before);

    ASSERT_EQ(write(release[1], &byte, 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    UpdateRecordInPlace(file, record.Pos, record.Bytes, {{preferred, false}});
    TParadoxTable::Open(file)->ReadAt(record.Pos, [&](const TRecordView& view) {
        EXPECT_EQ(view.Value(preferred), TValue(false));
    });
    for (int fd : {locked[0], locked[1], release[0], release[1]})
        close(fd);
}

TEST(ParadoxTableFiles, DeleteRemovesEveryCompanionInAnyCase) {
    REQUIRE_FIXTURES();
    QTemporaryDir dir;
    CopyFixture(dir, {"dbdemos/customer.db", "dbdemos/customer.px", "dbdemos/customer.VAL",
                      "dbdemos/customer.xg0", "dbdemos/customer.yg0", "dbdemos/orders.db"});
    std::filesystem::rename(InDir(dir, "customer.px"), InDir(dir, "CUSTOMER.PX"));
    WriteBytes(InDir(dir, "customer.txt"), {1});
    WriteBytes(InDir(dir, "customers.db"), {1});
    DeleteParadoxTable(InDir(dir, "Customer"));
    QStringList left = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(left, QStringList({QStringLiteral("customer.txt"), QStringLiteral("customers.db"),
                                 QStringLiteral("orders.db")}));
    EXPECT_NO_THROW(DeleteParadoxTable(InDir(dir, "customer.db"))); // already gone
}

} // namespace

#include "EstimatingFixture.h"

#include "db/Table.h"
#include "db/format/ParadoxTable.h"
#include "estimating/StatusView.h"
#include "estimating/WriteBack.h"

#include <map>

namespace {

class TRecordingView : public TStatusView {
public:
    void ShowStatus(const QString& text) override { Texts << text; }
    void SetProgressMaximum(int maximum) override { Progress << QString("max %1").arg(maximum); }
    void SetProgressPosition(int position) override { Progress << QString::number(position); }
    QStringList Texts;
    QStringList Progress;
};

// Every field's bytes of every line item, by line-item id.
using TFieldBytes = std::vector<QByteArray>;
std::map<qint64, TFieldBytes> ItemBytes(const QString& folder, int* idField = nullptr) {
    auto table = TParadoxTable::Open((folder + "/ostr_prd.db").toStdString());
    const int id = table->FieldIndex("Link_OstranePrd");
    if (idField)
        *idField = id;
    std::map<qint64, TFieldBytes> items;
    table->ForEachRecord([&](const TRecordView& record) {
        TFieldBytes fields;
        for (int f = 0; f < static_cast<int>(table->Fields().size()); ++f) {
            const auto bytes = record.FieldBytes(f);
            fields.emplace_back(reinterpret_cast<const char*>(bytes.data()),
                                static_cast<qsizetype>(bytes.size()));
        }
        items[std::get<qint64>(record.Value(id))] = fields;
        return true;
    });
    return items;
}

int FieldIndex(const QString& folder, const QString& name) {
    return TParadoxTable::Open((folder + "/ostr_prd.db").toStdString())->FieldIndex(name);
}

struct TItemMarks {
    qint64 Milestone = 0;
    QString Reference;
};
std::map<qint64, TItemMarks> Marks(const QString& folder, const QString& milestone) {
    TTable t;
    t.SetDatabaseName(folder);
    t.SetTableName("ostr_prd.db");
    t.Open();
    std::map<qint64, TItemMarks> marks;
    for (t.First(); !t.Eof(); t.Next())
        marks[t.FieldByName("Link_OstranePrd").AsInteger()] = {
            t.FieldByName(milestone).AsInteger(), t.FieldByName("REFERENCE").AsString()};
    return marks;
}

const QDateTime When(QDate(2008, 3, 3), QTime(14, 5));
const QString Reference = "Horvane: March 3, 2008 - 14:05";

} // namespace

TEST(WriteBack, ReferenceTextAndMilestoneField) {
    EXPECT_EQ(TWriteBack::ReferenceText(When), Reference);
    EXPECT_EQ(TWriteBack::ReferenceText(QDateTime(QDate(2026, 12, 1), QTime(9, 7))),
              "Horvane: December 1, 2026 - 09:07");
}

TEST_F(EstimatingTest, WriteBackMarksEveryLineItemOfThePhaseAndNothingElse) {
    const QString folder = ProjectFolder("WORKEX");
    int idField = 0;
    const auto before = ItemBytes(folder, &idField);
    TRecordingView view;
    TWriteBack writeBack(view, Prompt);
    writeBack.IncMileLog = writeBack.IncRefLog = true;
    writeBack.MileIndex = 2;
    writeBack.Now = [] { return When; };
    writeBack.DoLogging(12, folder);

    EXPECT_EQ(view.Texts,
              QStringList({"Logging item 1\\3", "Logging item 2\\3", "Logging item 3\\3",
                           "HV logging to M3", "HV logging to Reference"}));
    EXPECT_EQ(view.Progress, QStringList({"max 3", "0", "1", "2", "3", "0"}));

    const auto marks = Marks(folder, "M3");
    for (const auto& [id, mark] : marks) {
        const bool exported = id >= 101 && id <= 103; // the line items of phase 12
        EXPECT_EQ(mark.Milestone, exported ? 1 : 0) << id;
        EXPECT_EQ(mark.Reference, exported ? Reference : "") << id;
    }
    const int m3 = FieldIndex(folder, "M3");
    const int reference = FieldIndex(folder, "REFERENCE");
    const auto after = ItemBytes(folder);
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [id, fields] : after) {
        for (std::size_t f = 0; f < fields.size(); ++f) {
            const bool written = id <= 103 && (int(f) == m3 || int(f) == reference);
            if (!written) {
                EXPECT_EQ(fields[f], before.at(id)[f]) << "item " << id << " field " << f;
            }
        }
    }
}

TEST_F(EstimatingTest, WriteBackOfReferenceOnlyOrOfNothing) {
    const QString folder = ProjectFolder("WORKEX");
    TRecordingView view;
    TWriteBack writeBack(view, Prompt);
    writeBack.DoLogging(15, folder); // neither mark: nothing at all
    EXPECT_TRUE(view.Texts.isEmpty());
    EXPECT_TRUE(view.Progress.isEmpty());

    writeBack.IncRefLog = true;
    writeBack.DoLogging(15, folder);
    writeBack.DoLogging(77, folder); // a phase without line items
    EXPECT_EQ(view.Texts.last(2),
              QStringList({"HV logging to Reference", "HV logging to Reference"}));
    for (const auto& [id, mark] : Marks(folder, "M1")) {
        EXPECT_EQ(mark.Milestone, 0);
        EXPECT_EQ(mark.Reference.startsWith("Horvane: "), id >= 201) << id;
    }
}

TEST(WriteBackLockChild, HoldsALineItemInEdit) {
    const QString folder = qEnvironmentVariable("VARNEL_TEST_LOCK_ITEM");
    if (folder.isEmpty())
        GTEST_SKIP() << "runs only as the second process of ALockedLineItemEndsOnlyItsPhase";
    TTable t;
    t.SetDatabaseName(folder);
    t.SetTableName("ostr_prd.db");
    t.Open();
    ASSERT_TRUE(t.Locate("Link_OstranePrd", TValue(qint64(102))));
    t.Edit();
    EXPECT_TRUE(TChildProcess::HoldUntilReleased(folder));
    t.Cancel();
}

TEST_F(EstimatingTest, ALockedLineItemEndsOnlyItsPhase) {
    const QString folder = ProjectFolder("WORKEX");
    TChildProcess other("WriteBackLockChild.HoldsALineItemInEdit", "VARNEL_TEST_LOCK_ITEM", folder);
    ASSERT_TRUE(other.WaitReady());
    TRecordingView view;
    TWriteBack writeBack(view, Prompt);
    writeBack.IncMileLog = writeBack.IncRefLog = true;
    writeBack.MileIndex = 2;
    writeBack.Now = [] { return When; };
    Prompt.ExpectMessage("Error opening table \r\nRecord locked by another user. Table: " +
                             QDir(folder).filePath("ostr_prd.db"),
                         TMsgType::Information, TMsgButtons::Ok);
    writeBack.DoLogging(12, folder);
    writeBack.DoLogging(15, folder);
    EXPECT_EQ(other.Finish(), 0);

    EXPECT_EQ(view.Texts,
              QStringList({"Logging item 1\\3", "Logging item 2\\3", "HV logging to M3",
                           "HV logging to Reference", "Logging item 1\\2", "Logging item 2\\2",
                           "HV logging to M3", "HV logging to Reference"}));
    const auto marks = Marks(folder, "M3");
    for (const auto& [id, mark] : marks) {
        const bool written = id == 101 || id >= 201;
        EXPECT_EQ(mark.Milestone, written ? 1 : 0) << id;
        EXPECT_EQ(mark.Reference, written ? Reference : "") << id;
    }
}

#include "platform/Registry.h"
#include "platform/IniOut.h"
#include "platform/RegistryStore.h"

#include "support/TestFiles.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const char* const EveryType = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n"
                              "@=\"default value\"\r\n"
                              "\"Text\"=\"say \\\"hi\\\" C:\\\\dir\"\r\n"
                              "\"Empty\"=\"\"\r\n"
                              "\"Count\"=dword:0000001f\r\n"
                              "\"Bin\"=hex:01,02,\\\r\n"
                              "  03,ff\r\n"
                              "\"Path\"=hex(2):25,00,54,00,4d,00,50,00,25,00,00,00\r\n"
                              "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
                              "\"Big\"=hex(b):01,00,00,00,00,00,00,00\r\n"
                              "\"NoData\"=hex(4):\r\n"
                              "\"Gone\"=\"x\"\r\n"
                              "\"Gone\"=-\r\n"
                              "\r\n"
                              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\Sub]\r\n"
                              "\"a\"=\"1\"\r\n";

QByteArray Utf16(const QString& text) {
    QStringEncoder encode(QStringEncoder::Utf16LE);
    return QByteArray("\xFF\xFE") + QByteArray(encode(text));
}

QByteArray U16(const char16_t* text) {
    return Utf16(QString::fromUtf16(text));
}

void ExpectEveryType(const TRegistryStore& store) {
    const QString key = QStringLiteral("hkey_local_machine\\software\\TEST");
    ASSERT_TRUE(store.KeyExists(key));
    EXPECT_TRUE(store.KeyExists(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE")));
    EXPECT_TRUE(store.KeyExists(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Test\\SUB\\")));
    EXPECT_FALSE(store.KeyExists(QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Test")));
    const struct {
        const char* name;
        TRegType type;
        QByteArray data;
    } values[] = {
        {"", TRegType::String, U16(u"default value").mid(2) + QByteArray(2, 0)},
        {"text", TRegType::String, U16(u"say \"hi\" C:\\dir").mid(2) + QByteArray(2, 0)},
        {"EMPTY", TRegType::String, QByteArray(2, 0)},
        {"Count", TRegType::DWord, QByteArray("\x1F\0\0\0", 4)},
        {"Bin", TRegType::Binary, QByteArray("\x01\x02\x03\xFF")},
        {"Path", TRegType::ExpandString, U16(u"%TMP%").mid(2) + QByteArray(2, 0)},
        {"Multi", TRegType::MultiString, QByteArray("a\0\0\0b\0\0\0\0\0", 10)},
        {"Big", TRegType::QWord, QByteArray("\x01\0\0\0\0\0\0\0", 8)},
        {"NoData", TRegType::DWord, QByteArray()},
    };
    for (const auto& v : values) {
        const TRegValue* value = store.FindValue(key, QString::fromUtf8(v.name));
        ASSERT_NE(value, nullptr) << v.name;
        EXPECT_EQ(value->Type, v.type) << v.name;
        EXPECT_EQ(value->Data.toHex().toStdString(), v.data.toHex().toStdString()) << v.name;
    }
    EXPECT_EQ(store.FindValue(key, QStringLiteral("Gone")), nullptr);
}

TEST(RegistryStore, ParsesEveryValueTypeInEveryEncoding) {
    const QString body = QString::fromLatin1(EveryType);
    const struct {
        const char* label;
        QByteArray content;
    } files[] = {
        {"version 5, UTF-16LE",
         Utf16(QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n") + body)},
        {"version 5, UTF-8", ("Windows Registry Editor Version 5.00\n\n" + body).toUtf8()},
        {"REGEDIT4",
         QByteArray("REGEDIT4\r\n\r\n") +
             QByteArray(EveryType)
                 .replace("hex(2):25,00,54,00,4d,00,50,00,25,00,00,00", "hex(2):25,54,4d,50,25,00")
                 .replace("hex(7):61,00,00,00,62,00,00,00,00,00", "hex(7):61,00,62,00,00")},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.label);
        ExpectEveryType(TRegistryStore::Parse(QStringLiteral("x.reg"), file.content));
    }
}

TEST(RegistryStore, SkipsLinesThatDoNotParse) {
    const TRegistryStore store =
        TRegistryStore::Parse(QStringLiteral("x.reg"), "Windows Registry Editor Version 5.00\n"
                                                       "\"Orphan\"=\"before any key\"\n"
                                                       "[HKEY_NOWHERE\\X]\n"
                                                       "\"InUnknownRoot\"=\"x\"\n"
                                                       "[HKEY_LOCAL_MACHINE\\K]\n"
                                                       "\"Open\"=\"unterminated\n"
                                                       "\"BadHex\"=hex:0g,01\n"
                                                       "\"LongDword\"=dword:123456789\n"
                                                       "\"Junk\"=\"a\"b\n"
                                                       "\"Unknown\"=word:12\n"
                                                       "; \"Comment\"=\"x\"\n"
                                                       "\"Good\"=\"yes\"\n"
                                                       "[HKEY_LOCAL_MACHINE\\K\\Old]\n"
                                                       "[-HKEY_LOCAL_MACHINE\\K\\OLD]\n");
    const QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\K");
    for (const char* name : {"Orphan", "Open", "BadHex", "LongDword", "Junk", "Unknown", "Comment"})
        EXPECT_EQ(store.FindValue(key, QLatin1String(name)), nullptr) << name;
    ASSERT_NE(store.FindValue(key, QStringLiteral("good")), nullptr);
    EXPECT_FALSE(store.KeyExists(QStringLiteral("HKEY_NOWHERE\\X")));
    EXPECT_FALSE(store.KeyExists(key + QStringLiteral("\\Old")));
}

TEST(RegistryStore, AFileWithoutHeaderIsAClearError) {
    for (const QByteArray& content :
         {QByteArray("[HKEY_LOCAL_MACHINE\\K]\n"), QByteArray(), QByteArray("\x00\xFF\x13", 3)}) {
        try {
            TRegistryStore::Parse(QStringLiteral("/data/Registry.reg"), content);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("/data/Registry.reg is not a registry file", 0),
                      0u)
                << e.what();
        }
    }
}

class IniOutTest : public ::testing::Test {
protected:
    QTemporaryDir FDir;
    QString FStore = FDir.filePath(QStringLiteral("Registry.reg"));
    QByteArray FContent = "Windows Registry Editor Version 5.00\r\n\r\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor]\r\n"
                          "\"Name\"=\"value\"\r\n"
                          "\"Empty\"=\"\"\r\n"
                          "\"Count\"=dword:00000002\r\n"
                          "\"Path\"=hex(2):25,00,54,00,00,00\r\n"
                          "[HKEY_CURRENT_USER\\SOFTWARE\\Vendor]\r\n"
                          "\"Name\"=\"user value\"\r\n";
    TIniOut FReg{FStore};

    void SetUp() override {
        WriteTestFile(FStore, FContent);
        FReg.RegistryRoot = TRegRoots::LOCAL_MACHINE;
    }
    QString Read(const char* key, const char* name) const {
        return FReg.ReadRegString(QLatin1String(key), QLatin1String(name), QStringLiteral("def"));
    }
};

TEST_F(IniOutTest, ReadRegStringGivesTextDefaultsOrTheTypeError) {
    EXPECT_EQ(Read("software\\VENDOR", "NAME"), "value");
    EXPECT_EQ(Read("SOFTWARE\\Vendor", "Empty"), "");
    EXPECT_EQ(Read("SOFTWARE\\Vendor", "Path"), "%T");
    EXPECT_EQ(Read("SOFTWARE\\Vendor", "Missing"), "def");
    try {
        Read("SOFTWARE\\Vendor", "Count");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'Count'");
    }
    FReg.RegistryRoot = TRegRoots::CURRENT_USER;
    EXPECT_EQ(Read("SOFTWARE\\Vendor", "Name"), "user value");
    EXPECT_EQ(ReadTestFile(FStore), FContent);
}

TEST_F(IniOutTest, AMissingKeyIsCreatedAndWrittenBack) {
    EXPECT_EQ(Read("SOFTWARE\\Vendor\\New\\Deeper", "Name"), "def");
    const QByteArray written = ReadTestFile(FStore);
    EXPECT_EQ(written, FContent + "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\New\\Deeper]\r\n");
    const TRegistryStore store = TRegistryStore::Load(FStore);
    EXPECT_TRUE(store.KeyExists(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\New")));
    EXPECT_EQ(FolderEntries(FDir.path()), QStringList{QStringLiteral("Registry.reg")});
    // Reading it again finds the key and changes nothing.
    EXPECT_EQ(Read("SOFTWARE\\Vendor\\new\\deeper", "Name"), "def");
    EXPECT_EQ(ReadTestFile(FStore), written);
}

TEST_F(IniOutTest, AMissingStoreStartsAsUtf16RegFile) {
    QFile::remove(FStore);
    EXPECT_EQ(Read("SOFTWARE\\Vendor", "Name"), "def");
    EXPECT_EQ(ReadTestFile(FStore),
              Utf16(QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor]\r\n")));
}

TEST_F(IniOutTest, AWriteProtectedStoreIsStillRead) {
    // No write permission for anyone: refused even to root, as a read-only
    // attribute would be.
    QFile::setPermissions(FStore, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_FALSE(TRegistryStore::Load(FStore).Writable());
    EXPECT_EQ(Read("SOFTWARE\\Vendor", "Name"), "value");
    EXPECT_EQ(Read("SOFTWARE\\Vendor", "Empty"), "");
    EXPECT_EQ(Read("SOFTWARE\\Vendor\\Missing", "Name"), "def");
    EXPECT_EQ(ReadTestFile(FStore), FContent);

    TRegistry reg(TRegAccess::Full, FStore);
    EXPECT_FALSE(FReg.OpenRegKey(reg, QStringLiteral("SOFTWARE\\Vendor")));
    reg.Access = TRegAccess::Read;
    EXPECT_TRUE(FReg.OpenRegKey(reg, QStringLiteral("SOFTWARE\\Vendor")));
    EXPECT_EQ(reg.RootKey, TRegRoots::LOCAL_MACHINE);
    EXPECT_TRUE(reg.ValueExists(QStringLiteral("name")));
}

TEST_F(IniOutTest, AnUnreadableStoreIsAnError) {
    QFile::remove(FStore);
    QDir().mkdir(FStore);
    EXPECT_THROW(Read("SOFTWARE\\Vendor", "Name"), std::runtime_error);
}

TEST(IniOut, SetFileNameWithChangeExt) {
    TIniOut out;
    EXPECT_FALSE(out.ChangeExt);
    EXPECT_EQ(out.RegistryRoot, TRegRoots::CURRENT_USER);
    const struct {
        const char* value;
        const char* changed;
    } cases[] = {
        {"C:\\Data\\settings.cfg", "C:\\DATA\\SETTINGS.INI"},
        {"C:\\My.Dir\\settings", "C:\\MY.DIR\\SETTINGS.INI"},
        {"/home/ann/my.dir/Settings", "/HOME/ANN/MY.DIR/SETTINGS.INI"},
        {"d:name.txt", "D:NAME.INI"},
        {"caf\xC3\xA9.x", "CAF\xC3\xA9.INI"},
    };
    for (const auto& c : cases) {
        out.ChangeExt = false;
        out.SetFileName(QString::fromUtf8(c.value));
        EXPECT_EQ(out.FileName(), QString::fromUtf8(c.value));
        out.ChangeExt = true;
        out.SetFileName(QString::fromUtf8(c.value));
        EXPECT_EQ(out.FileName(), QString::fromUtf8(c.changed));
    }
}

} // namespace

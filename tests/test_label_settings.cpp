// The label settings file: reading and rewriting, compared byte for byte.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>


#include "frame/label_settings.h"
#include "support/file_size_limit.h"

namespace {

class LabelSettingsFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("Ostravell.cfg");

    void Put(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QByteArray Bytes() const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
};

QByteArray Quoted(std::initializer_list<const char*> records) {
    QByteArray out;
    for (const char* r : records) out += QByteArray("\"") + r + "\"\r\n";
    return out;
}

}  // namespace

TEST_F(LabelSettingsFile, ReadsFirstMatchWithExactKeys) {
    Put(Quoted({"Field0=Alpha", "Field1=Beta", "Field2=A", "Field2=B", "Field3=To=Hit", "Field4=",
                "field5=x", "NoEqualsSign", "Field6=Alpha, Beta"}));
    EXPECT_EQ(ReadCfgValue(path, "Field1"), "Beta");
    EXPECT_EQ(ReadCfgValue(path, "Field0"), "Alpha");
    EXPECT_EQ(ReadCfgValue(path, "Field2"), "A");
    EXPECT_EQ(ReadCfgValue(path, "Field3"), "To=Hit");
    EXPECT_EQ(ReadCfgValue(path, "Field4"), "");
    EXPECT_EQ(ReadCfgValue(path, "Field5"), "");          // lower-case key in the file
    EXPECT_EQ(ReadCfgValue(path, "Field6"), "Alpha, Beta");  // comma inside quotes
    EXPECT_EQ(ReadCfgValue(path, "Field3 "), "");         // no trimming of keys
    EXPECT_EQ(ReadCfgValue(path, "NoEqualsSign"), "");
}

TEST_F(LabelSettingsFile, ReadingRulesForUnquotedAndOddLines) {
    const QStringList records = ParseCfgRecords(QString::fromLatin1(
        "Field6=Alpha, Beta\r\n"      // unquoted comma splits; the blank after it is skipped
        "\r\n"                        // empty line: empty record
        "   \"Field7=  padded \"  trailing junk\r\n"
        "\"multi\r\nline\"\n"         // a quoted text may hold a line end; lone LF ends a line
        "Field8=Last"));              // no line end at the end of the file
    EXPECT_EQ(records, (QStringList{"Field6=Alpha", "Beta", "", "Field7=  padded ", "multi\r\nline",
                                    "Field8=Last"}));
    EXPECT_TRUE(ParseCfgRecords("").isEmpty());
    EXPECT_EQ(ParseCfgRecords("\"a\"\r\n"), QStringList{"a"});
}

TEST_F(LabelSettingsFile, MissingOrUnreadableFileReadsEmpty) {
    EXPECT_EQ(ReadCfgValue(path, "Field0"), "");
    EXPECT_FALSE(WriteCfgValue(path, "Field0", "X"));
    EXPECT_FALSE(QFile::exists(path));  // never created
    EXPECT_FALSE(WriteCfgValue(dir.path(), "Field0", "X"));  // a folder is no file
}

TEST_F(LabelSettingsFile, WritesEveryRecordQuotedByteForByte) {
    Put("Field0=Alpha\r\n");
    ASSERT_TRUE(WriteCfgValue(path, "Field0", "Alpha"));
    const QByteArray bytes = Bytes();
    EXPECT_EQ(bytes.size(), 16);
    EXPECT_EQ(bytes, QByteArray("\"Field0=Alpha\"\r\n"));
}

TEST_F(LabelSettingsFile, RewriteKeepsTheFilesPermissions) {
    Put("\"Field0=Alpha\"\r\n");
    const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, perms));
    ASSERT_TRUE(WriteCfgValue(path, "Field0", "Omega"));
    EXPECT_EQ(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
              perms);
    EXPECT_EQ(ReadCfgValue(path, "Field0"), "Omega");
}

TEST_F(LabelSettingsFile, ReplacesEveryMatchAndNormalisesTheRest) {
    Put("\"Field2=A\"\r\n\"Field2=B\"\r\nField6=Alpha, Beta\r\nfield2=low\r\n");
    ASSERT_TRUE(WriteCfgValue(path, "Field2", "C"));
    EXPECT_EQ(Bytes(), Quoted({"Field2=C", "Field2=C", "Field6=Alpha", "Beta", "field2=low"}));

    ASSERT_TRUE(WriteCfgValue(path, "Unknown", "Z"));  // no record holds it: nothing added
    EXPECT_EQ(Bytes(), Quoted({"Field2=C", "Field2=C", "Field6=Alpha", "Beta", "field2=low"}));

    Put("");
    ASSERT_TRUE(WriteCfgValue(path, "Field0", "X"));
    EXPECT_EQ(Bytes(), QByteArray());
}

TEST_F(LabelSettingsFile, RecordWithADoubleQuoteSurvivesARewrite) {
    // A hand-edited unquoted line may hold a double quote, which a quoted
    // record cannot: it is written back as it was read, and reads back whole.
    Put("Field1=To \"Hit\"\r\n\"Field2=B\"\r\n");
    ASSERT_TRUE(WriteCfgValue(path, "Field2", "C"));
    EXPECT_EQ(Bytes(), QByteArray("Field1=To \"Hit\"\r\n\"Field2=C\"\r\n"));
    EXPECT_EQ(ReadCfgValue(path, "Field1"), "To \"Hit\"");

    // A value that could not be read back either way leaves the file as it was.
    const QByteArray before = Bytes();
    EXPECT_FALSE(WriteCfgValue(path, "Field2", "a \"b\", c"));
    EXPECT_EQ(Bytes(), before);
}

TEST_F(LabelSettingsFile, TwentyOneRecordsKeepTheirOrder) {
    QByteArray original;
    QByteArray expected;
    for (int i = 0; i <= 20; ++i) {
        const QByteArray record = "Field" + QByteArray::number(i) + "=Stat " + QByteArray::number(i);
        original += "\"" + record + "\"\r\n";
        expected += "\"" + (i == 7 ? QByteArray("Field7=Gamma") : record) + "\"\r\n";
    }
    Put(original);
    ASSERT_TRUE(WriteCfgValue(path, "Field7", "Gamma"));
    EXPECT_EQ(Bytes(), expected);
    EXPECT_EQ(ReadCfgValue(path, "Field7"), "Gamma");
    EXPECT_EQ(ReadCfgValue(path, "Field20"), "Stat 20");
}

TEST_F(LabelSettingsFile, EveryByteRoundTrips) {
    // Bytes 128 to 255 stand in quoted records; a rewrite gives them back unchanged.
    QByteArray high;
    for (int b = 128; b < 256; ++b) high += static_cast<char>(b);
    const QByteArray original = "\"Field0=" + high + "\"\r\n\"Field1=Beta\"\r\n";
    Put(original);
    EXPECT_EQ(ReadCfgValue(path, "Field0"), QString::fromLatin1(high));
    ASSERT_TRUE(WriteCfgValue(path, "Field1", "Beta"));
    EXPECT_EQ(Bytes(), original);
}

TEST_F(LabelSettingsFile, ReadOnlyFileKeepsItsBytes) {
    const QByteArray original = "Field0=Alpha\r\n";  // unquoted: a rewrite would change it
    Put(original);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    EXPECT_FALSE(WriteCfgValue(path, "Field0", "Changed"));
    EXPECT_EQ(Bytes(), original);
    EXPECT_EQ(ReadCfgValue(path, "Field0"), "Alpha");
}

TEST_F(LabelSettingsFile, FailedRewriteKeepsTheOriginal) {
    // Let the system refuse writes beyond 64 bytes: the rewrite fails half-way.
    QByteArray original;
    for (int i = 0; i <= 20; ++i) original += "Field" + QByteArray::number(i) + "=Value\r\n";
    Put(original);
    ASSERT_GT(original.size(), 64);

    bool bWritten = true;
    ASSERT_TRUE(WithFileSizeLimit(64, [&] { bWritten = WriteCfgValue(path, "Field3", "Changed"); }));

    EXPECT_FALSE(bWritten);
    EXPECT_EQ(Bytes(), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Ostravell.cfg"});  // no temporary left
}

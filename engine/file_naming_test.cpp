#include "engine/file_naming.h"

#include "accounts/clock.h"
#include "settings_store/program_settings.h"
#include "testsupport/program_folder_test.h"

#include <QDateTime>
#include <QStringList>

namespace snapwire::upload {
namespace {

const QString kAccount = QStringLiteral("Garden");

class FileNamingTest : public testing::ProgramFolderTest {
  protected:
    static NamingSettings Numbered() {
        NamingSettings settings;
        settings.scheme = NamingScheme::Numbered;
        return settings;
    }
    static QString Stored(const QString& account, const char* name) {
        return ReadSetting(account, QString::fromLatin1(name));
    }
    static void Store(const QString& account, const char* name, const QString& text) {
        WriteSetting(account, QString::fromLatin1(name), SettingValue(text));
    }
    // One numbered cycle of kAccount; the counters the main window holds persist.
    UploadNames Cycle(const NamingSettings& settings) { return MakeUploadNames(settings, kAccount, held_); }

    NumberingCounters held_;
};

// --- Folders ---------------------------------------------------------------------------

TEST_F(FileNamingTest, FoldersEndInASlashExceptAnEmptyRemoteFolder) {
    EXPECT_EQ(RemoteFolderFor(QString()), QString());
    EXPECT_EQ(RemoteFolderFor(QStringLiteral("cam")), QStringLiteral("cam/"));
    EXPECT_EQ(LocalFolderFor(QString()), QStringLiteral("/"));
    EXPECT_EQ(LocalFolderFor(QStringLiteral("/srv/pictures")), QStringLiteral("/srv/pictures/"));

    NamingSettings settings;
    settings.remoteFolderText = QStringLiteral("cam");
    settings.localFolderText = QStringLiteral("/srv/pictures");
    const UploadNames names = MakeUploadNames(settings, kAccount, held_);
    EXPECT_EQ(RemotePath(names.RemoteFolder, names.RemoteName), QStringLiteral("cam/webcam.jpg"));
    EXPECT_EQ(names.LocalFolder + names.LocalName, QStringLiteral("/srv/pictures/webcam.jpg"));

    // A folder stored untrimmed, or a pattern name with slashes, never doubles a "/".
    EXPECT_EQ(RemotePath(RemoteFolderFor(QStringLiteral("/pub/")), QStringLiteral("webcam.jpg")),
              QStringLiteral("/pub/webcam.jpg"));
    EXPECT_EQ(RemotePath(RemoteFolderFor(QStringLiteral("a//b")), QStringLiteral("/c.jpg")),
              QStringLiteral("a/b/c.jpg"));
    EXPECT_EQ(RemotePath(RemoteFolderFor(QString()), QStringLiteral("webcam.jpg")),
              QStringLiteral("webcam.jpg"));
}

// --- Fixed and date-pattern names -------------------------------------------------------------

TEST_F(FileNamingTest, DisabledSchemeUsesBaseNameAndExtensionAndTouchesNoCounter) {
    NamingSettings settings;
    settings.baseName = QStringLiteral("porch");
    const UploadNames names = Cycle(settings);
    EXPECT_EQ(names.RemoteName, QStringLiteral("porch.jpg"));
    EXPECT_EQ(names.LocalName, QStringLiteral("porch.jpg"));
    EXPECT_EQ(Stored(kAccount, "KeepNrUpload"), QString());
    EXPECT_EQ(Stored(kAccount, "KeepNrUploadLocal"), QString());
}

TEST_F(FileNamingTest, CustomSchemeExpandsThePatternAtTheClocksMoment) {
    ScopedClockForTests clock(QDateTime(QDate(2005, 6, 22), QTime(14, 30, 5)));
    NamingSettings settings;
    settings.scheme = NamingScheme::Custom;
    settings.customFormat = QStringLiteral("%N_%YYYY%TT%DD_%HH%MM%SS");
    const UploadNames names = Cycle(settings);
    EXPECT_EQ(names.RemoteName, QStringLiteral("webcam_20050622_143005.jpg"));
    EXPECT_EQ(names.LocalName, names.RemoteName);
    EXPECT_EQ(Stored(kAccount, "KeepNrUpload"), QString());

    settings.customFormat.clear();
    EXPECT_EQ(Cycle(settings).RemoteName, QStringLiteral(".jpg"));
}

// --- The numbered scheme ---------------------------------------------------------------------

TEST_F(FileNamingTest, FirstNumberedCycleNamesOneAndStoresTwo) {
    const UploadNames names = Cycle(Numbered());
    EXPECT_EQ(names.RemoteName, QStringLiteral("webcam1.jpg"));
    EXPECT_EQ(names.LocalName, QStringLiteral("webcam1.jpg"));
    EXPECT_EQ(Stored(kAccount, "KeepNrUpload"), QStringLiteral("2"));
    EXPECT_EQ(Stored(kAccount, "KeepNrUploadLocal"), QStringLiteral("2"));
}

TEST_F(FileNamingTest, NumberedNamesAlwaysEndInJpgWhateverTheExtensionBox) {
    NamingSettings settings = Numbered();
    settings.extension = QStringLiteral(".png");
    EXPECT_EQ(Cycle(settings).RemoteName, QStringLiteral("webcam1.jpg"));
}

TEST_F(FileNamingTest, KeepOnlyNWrapsRemoteNumbersWhileLocalOnesKeepCounting) {
    NamingSettings settings = Numbered();
    settings.keepRemote = true;
    settings.keepRemoteCount = QStringLiteral("3");
    QStringList remote, local;
    for (int i = 0; i < 5; ++i) {
        const UploadNames names = Cycle(settings);
        remote << names.RemoteName;
        local << names.LocalName;
    }
    EXPECT_EQ(remote.join(QLatin1Char(' ')),
              QStringLiteral("webcam1.jpg webcam2.jpg webcam3.jpg webcam1.jpg webcam2.jpg"));
    EXPECT_EQ(local.join(QLatin1Char(' ')),
              QStringLiteral("webcam1.jpg webcam2.jpg webcam3.jpg webcam4.jpg webcam5.jpg"));
    EXPECT_EQ(Stored(kAccount, "KeepNrUpload"), QStringLiteral("3"));
    EXPECT_EQ(Stored(kAccount, "KeepNrUploadLocal"), QStringLiteral("6"));
}

TEST_F(FileNamingTest, KeepOnlyNOnTheLocalSideWrapsOnlyLocalNumbers) {
    NamingSettings settings = Numbered();
    settings.keepLocal = true;
    settings.keepLocalCount = QStringLiteral("2");
    Store(kAccount, "KeepNrUpload", QStringLiteral("7"));
    Store(kAccount, "KeepNrUploadLocal", QStringLiteral("7"));
    const UploadNames names = Cycle(settings);
    EXPECT_EQ(names.RemoteName, QStringLiteral("webcam7.jpg"));
    EXPECT_EQ(names.LocalName, QStringLiteral("webcam1.jpg"));
    EXPECT_EQ(Stored(kAccount, "KeepNrUpload"), QStringLiteral("8"));
    EXPECT_EQ(Stored(kAccount, "KeepNrUploadLocal"), QStringLiteral("2"));
}

TEST_F(FileNamingTest, StoredCounterPastKeepCountStartsAgainAtOne) {
    NamingSettings settings = Numbered();
    settings.keepRemote = true;
    settings.keepRemoteCount = QStringLiteral("3");
    Store(kAccount, "KeepNrUpload", QStringLiteral("4"));
    EXPECT_EQ(Cycle(settings).RemoteName, QStringLiteral("webcam1.jpg"));
    EXPECT_EQ(Stored(kAccount, "KeepNrUpload"), QStringLiteral("2"));
}

TEST_F(FileNamingTest, KeepZeroOrAKeepCountThatIsNoNumberNamesEveryPictureOne) {
    for (const QString& count : {QStringLiteral("0"), QStringLiteral("many")}) {
        NamingSettings settings = Numbered();
        settings.keepRemote = true;
        settings.keepRemoteCount = count;
        settings.keepLocal = true;
        settings.keepLocalCount = count;
        for (int i = 0; i < 3; ++i) {
            const UploadNames names = Cycle(settings);
            EXPECT_EQ(names.RemoteName, QStringLiteral("webcam1.jpg")) << count.toStdString();
            EXPECT_EQ(names.LocalName, QStringLiteral("webcam1.jpg")) << count.toStdString();
        }
    }
}

TEST_F(FileNamingTest, HighestNumberIsUsedThenNumberingStartsAgainAtOne) {
    Store(kAccount, "KeepNrUpload", QStringLiteral("9999999"));
    Store(kAccount, "KeepNrUploadLocal", QStringLiteral("9999999"));
    EXPECT_EQ(Cycle(Numbered()).RemoteName, QStringLiteral("webcam9999999.jpg"));
    EXPECT_EQ(Stored(kAccount, "KeepNrUpload"), QStringLiteral("1"));
    EXPECT_EQ(Stored(kAccount, "KeepNrUploadLocal"), QStringLiteral("1"));
    EXPECT_EQ(Cycle(Numbered()).RemoteName, QStringLiteral("webcam1.jpg"));
}

TEST_F(FileNamingTest, EachAccountNumbersOnItsOwn) {
    NumberingCounters held;
    const QString other = QStringLiteral("Street");
    MakeUploadNames(Numbered(), kAccount, held);
    MakeUploadNames(Numbered(), kAccount, held);
    EXPECT_EQ(MakeUploadNames(Numbered(), other, held).RemoteName, QStringLiteral("webcam1.jpg"));
    EXPECT_EQ(MakeUploadNames(Numbered(), kAccount, held).RemoteName, QStringLiteral("webcam3.jpg"));
    EXPECT_EQ(Stored(kAccount, "KeepNrUpload"), QStringLiteral("4"));
    EXPECT_EQ(Stored(other, "KeepNrUpload"), QStringLiteral("2"));
}

TEST_F(FileNamingTest, UnreadableCounterKeepsTheHeldNumbersAndIsOverwritten) {
    held_.KeepNrUpload = 40;
    held_.KeepNrUploadLocal = 50;
    Store(kAccount, "KeepNrUpload", QStringLiteral("12abc"));
    Store(kAccount, "KeepNrUploadLocal", QStringLiteral("5"));
    const UploadNames names = Cycle(Numbered());
    // Reading stops at the remote counter, so the local one is not read either.
    EXPECT_EQ(names.RemoteName, QStringLiteral("webcam40.jpg"));
    EXPECT_EQ(names.LocalName, QStringLiteral("webcam50.jpg"));
    EXPECT_EQ(Stored(kAccount, "KeepNrUpload"), QStringLiteral("41"));
    EXPECT_EQ(Stored(kAccount, "KeepNrUploadLocal"), QStringLiteral("51"));
}

TEST_F(FileNamingTest, NoAccountNameUsesTheHeldNumbersAndStoresNothing) {
    held_.KeepNrUpload = 8;
    const UploadNames names = MakeUploadNames(Numbered(), QString(), held_);
    EXPECT_EQ(names.RemoteName, QStringLiteral("webcam8.jpg"));
    EXPECT_EQ(held_.KeepNrUpload, 9);
    EXPECT_EQ(ReadSetting(QString(), QStringLiteral("KeepNrUpload")), QString());
}

// --- Names that must not be used ---------------------------------------------------------------

TEST_F(FileNamingTest, LocalNamesThatWouldLeaveTheFolderAreRefused) {
    for (const QString& name :
         {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../x.jpg"),
          QStringLiteral("a/b.jpg"), QStringLiteral("a\\b.jpg"),
          QStringLiteral("a") + QChar(QChar::Null) + QStringLiteral("b.jpg")}) {
        EXPECT_FALSE(IsSafeLocalFileName(name)) << name.toStdString();
        EXPECT_FALSE(LocalCopyPath(QStringLiteral("/srv"), name).has_value()) << name.toStdString();
    }
    EXPECT_TRUE(IsSafeLocalFileName(QStringLiteral("webcam 12.jpg")));
    EXPECT_TRUE(IsSafeLocalFileName(QStringLiteral("..jpg")));
    EXPECT_EQ(LocalCopyPath(QStringLiteral("/srv"), QStringLiteral("webcam.jpg")),
              QStringLiteral("/srv/webcam.jpg"));
}

TEST_F(FileNamingTest, DatePatternWithAFolderInItGivesNoLocalCopyPath) {
    ScopedClockForTests clock(QDateTime(QDate(2005, 6, 22), QTime(14, 30, 5)));
    NamingSettings settings;
    settings.scheme = NamingScheme::Custom;
    settings.customFormat = QStringLiteral("../../%YYYY");
    const UploadNames names = Cycle(settings);
    EXPECT_EQ(names.LocalName, QStringLiteral("../../2005.jpg"));
    EXPECT_FALSE(LocalCopyPath(QStringLiteral("/srv"), names.LocalName).has_value());
}

TEST_F(FileNamingTest, NoLocalFolderGivesNoLocalCopyPath) {
    EXPECT_FALSE(LocalCopyPath(QString(), QStringLiteral("webcam.jpg")).has_value());
    EXPECT_FALSE(LocalCopyPath(QStringLiteral("  "), QStringLiteral("webcam.jpg")).has_value());
}

}  // namespace
}  // namespace snapwire::upload

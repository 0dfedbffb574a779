#include "options/visual_style.h"

#include "testsupport/program_folder_test.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace snapwire::options {
namespace {

class VisualStyleTest : public testing::ProgramFolderTest {
  protected:
    static void Touch(const QString& path, const QByteArray& content = QByteArray()) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    static bool Exists(const QString& path) { return QFileInfo::exists(path); }
};

TEST_F(VisualStyleTest, MarkersAreNamedAfterTheFileDescription) {
    EXPECT_EQ(ActiveStyleMarker(), homeFile(QStringLiteral("Snapwire.exe.manifest")));
    EXPECT_EQ(InactiveStyleMarker(), homeFile(QStringLiteral("Snapwire.exe.manifest.dis")));
}

TEST_F(VisualStyleTest, SwitchRenamesTheOtherMarkerAndKeepsItsContent) {
    Touch(InactiveStyleMarker(), "manifest");
    EXPECT_EQ(SwitchStyleMarker(true), StyleSwitchResult::Renamed);
    EXPECT_FALSE(Exists(InactiveStyleMarker()));
    QFile active(ActiveStyleMarker());
    ASSERT_TRUE(active.open(QIODevice::ReadOnly));
    EXPECT_EQ(active.readAll(), QByteArray("manifest"));
    active.close();

    EXPECT_EQ(SwitchStyleMarker(false), StyleSwitchResult::Renamed);
    EXPECT_TRUE(Exists(InactiveStyleMarker()));
    EXPECT_FALSE(Exists(ActiveStyleMarker()));
}

TEST_F(VisualStyleTest, SwitchWithNeitherMarkerCreatesTheWantedOne) {
    EXPECT_EQ(SwitchStyleMarker(true), StyleSwitchResult::Created);
    EXPECT_TRUE(Exists(ActiveStyleMarker()));
    EXPECT_FALSE(Exists(InactiveStyleMarker()));
}

TEST_F(VisualStyleTest, SwitchThatRenamesNothingSaysSo) {
    Touch(ActiveStyleMarker());
    EXPECT_EQ(SwitchStyleMarker(true), StyleSwitchResult::Unchanged);  // already in place

    Touch(InactiveStyleMarker());
    EXPECT_EQ(SwitchStyleMarker(false), StyleSwitchResult::Unchanged);  // both there: no overwrite
    EXPECT_TRUE(Exists(ActiveStyleMarker()));
    EXPECT_TRUE(Exists(InactiveStyleMarker()));
}

TEST_F(VisualStyleTest, TheActiveMarkerChoosesTheStyleOfTheRun) {
    EXPECT_EQ(StyleNameForThisRun(), QStringLiteral("Windows"));
    Touch(InactiveStyleMarker());
    EXPECT_EQ(StyleNameForThisRun(), QStringLiteral("Windows"));
    Touch(ActiveStyleMarker());
    EXPECT_EQ(StyleNameForThisRun(), QStringLiteral("Fusion"));
    // A folder of that name is no marker.
    QFile::remove(ActiveStyleMarker());
    QDir().mkpath(ActiveStyleMarker());
    EXPECT_EQ(StyleNameForThisRun(), QStringLiteral("Windows"));
}

}  // namespace
}  // namespace snapwire::options

#include "platform/paths.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace snapwire::platform {
namespace {

TEST(ProgramFolder, FollowsSnapwireHomeAndCreatesIt) {
    QTemporaryDir temp;
    const QString home = temp.path() + QStringLiteral("/a b/home/");
    qputenv("SNAPWIRE_HOME", home.toUtf8());
    EXPECT_EQ(ProgramFolder(), QDir::cleanPath(home));
    EXPECT_TRUE(QDir(home).exists());
    EXPECT_EQ(QFileInfo(home).permissions() &
                  ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(ProgramFile(QStringLiteral("webcam.jpg")),
              QDir::cleanPath(home) + QStringLiteral("/webcam.jpg"));
}

}  // namespace
}  // namespace snapwire::platform

#include "testsupport/program_folder_test.h"

#include "platform/registry/registry.h"

namespace snapwire::testing {

void ProgramFolderTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    qputenv("SNAPWIRE_HOME", dir_.path().toUtf8());
    reg::CloseHive();
    reg::UseHiveFile((dir_.path() + QStringLiteral("/settings.db")).toStdString());
}

void ProgramFolderTest::TearDown() {
    reg::CloseHive();
}

}  // namespace snapwire::testing

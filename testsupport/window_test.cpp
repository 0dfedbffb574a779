#include "testsupport/window_test.h"

#include "platform/ui/app_control.h"
#include "platform/ui/fonts.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_box.h"
#include "platform/ui/window_timers.h"

namespace snapwire::testing {

void WindowTest::SetUp() {
    ProgramFolderTest::SetUp();
    // Windows are measured in the faces the program itself uses.
    ui::UseDesignFonts();
    ui::ResetMessageBoxesForTests();
    ui::SetAnsweringForTests(true);
    programEnds_.clear();
    ui::SetEndProgramHandlerForTests([this](int exitCode) { programEnds_.push_back(exitCode); });
}

void WindowTest::TearDown() {
    ui::UnloadAllForms();
    ui::KillAllTimers();
    ui::SetEndProgramHandlerForTests({});
    ui::ResetMessageBoxesForTests();
    ProgramFolderTest::TearDown();
}

}  // namespace snapwire::testing

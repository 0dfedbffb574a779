#pragma once

#include <vector>

// What tests with windows use alongside the fixture: ui::ProgramEnded, the message
// box answers and ui::UnloadAllForms (to load a window afresh within a test).
#include "platform/ui/app_control.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_box.h"
#include "testsupport/program_folder_test.h"

namespace snapwire::testing {

// Fixture for tests that load windows: a fresh program folder and hive (from
// ProgramFolderTest), message boxes answered instead of shown, and the end of
// the program recorded instead of carried out (EndProgram then throws
// ui::ProgramEnded, which the test catches where it called the code). Every
// window is unloaded and every window timer stopped after the test.
class WindowTest : public ProgramFolderTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Exit codes of the EndProgram calls made during the test, in order.
    const std::vector<int>& programEnds() const { return programEnds_; }

  private:
    std::vector<int> programEnds_;
};

}  // namespace snapwire::testing

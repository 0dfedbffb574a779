#include "platform/ui/forms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace snapwire::ui {
namespace {

std::vector<std::string>& Events() {
    static std::vector<std::string> events;
    return events;
}

struct FormA;
struct FormB;
struct FormSelf;
FormSlot<FormA>& SlotA();
FormSlot<FormB>& SlotB();
FormSlot<FormSelf>& SlotSelf();

// A's load touches B, whose load touches A back: the start-up order of the
// program's options window and main window.
struct FormA {
    int loads = 0;
    FormB* seenB = nullptr;
    FormA() { Events().push_back("A created"); }
    ~FormA() { Events().push_back("A unloaded"); }
    void Form_Load();
};

struct FormB {
    int loads = 0;
    FormA* seenA = nullptr;
    FormB() { Events().push_back("B created"); }
    ~FormB() { Events().push_back("B unloaded"); }
    void Form_Load() {
        ++loads;
        Events().push_back("B load");
        seenA = &SlotA().Get();
    }
};

void FormA::Form_Load() {
    ++loads;
    Events().push_back("A load");
    seenB = &SlotB().Get();
}

struct FormSelf {
    int loads = 0;
    FormSelf* seenSelf = nullptr;
    void Form_Load() {
        ++loads;
        seenSelf = &SlotSelf().Get();
    }
};

FormSlot<FormA>& SlotA() {
    static FormSlot<FormA> slot;
    return slot;
}
FormSlot<FormB>& SlotB() {
    static FormSlot<FormB> slot;
    return slot;
}
FormSlot<FormSelf>& SlotSelf() {
    static FormSlot<FormSelf> slot;
    return slot;
}

class FormSlotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UnloadAllForms();
        Events().clear();
    }
    void TearDown() override { UnloadAllForms(); }
};

TEST_F(FormSlotTest, LoadsOnceAtFirstTouchAndKeepsTheInstance) {
    EXPECT_FALSE(SlotB().IsLoaded());
    FormB& first = SlotB().Get();  // B's load touches A, whose load finds B half-loaded
    FormB& second = SlotB().Get();
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(first.loads, 1);
    EXPECT_TRUE(SlotB().IsLoaded());
}

TEST_F(FormSlotTest, FormTouchedFromItsOwnLoadIsTheSameInstanceLoadedOnce) {
    FormSelf& form = SlotSelf().Get();
    EXPECT_EQ(form.seenSelf, &form);
    EXPECT_EQ(form.loads, 1);
}

TEST_F(FormSlotTest, FormsTouchingEachOtherInTheirLoadsMeetTheSameInstances) {
    FormA& a = SlotA().Get();
    FormB& b = SlotB().Get();
    EXPECT_EQ(a.seenB, &b);
    EXPECT_EQ(b.seenA, &a);
    EXPECT_EQ(a.loads, 1);
    EXPECT_EQ(b.loads, 1);
    // A exists before its load runs, and B is made inside that load.
    EXPECT_EQ(Events(), (std::vector<std::string>{"A created", "A load", "B created", "B load"}));
}

TEST_F(FormSlotTest, UnloadThenTouchLoadsAFreshInstance) {
    SlotSelf().Get();
    SlotSelf().Unload();
    EXPECT_FALSE(SlotSelf().IsLoaded());
    FormSelf& fresh = SlotSelf().Get();
    EXPECT_EQ(fresh.loads, 1);
    EXPECT_EQ(fresh.seenSelf, &fresh);
}

TEST_F(FormSlotTest, UnloadAllFormsDestroysNewestFirstAndSkipsUnloadedOnes) {
    SlotA().Get();     // creates A, then B
    SlotSelf().Get();  // then Self
    SlotSelf().Unload();
    Events().clear();
    UnloadAllForms();
    EXPECT_EQ(Events(), (std::vector<std::string>{"B unloaded", "A unloaded"}));
    EXPECT_FALSE(SlotA().IsLoaded());
    EXPECT_FALSE(SlotB().IsLoaded());
    UnloadAllForms();  // nothing left: no second destruction
    EXPECT_EQ(Events().size(), 2u);
}

}  // namespace
}  // namespace snapwire::ui

#include "platform/ui/menu_helpers.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QToolButton>

namespace snapwire::ui {
namespace {

TEST(CheckMarkCodeOnlyTest, TriggerLeavesTheMarkToTheHandler) {
    QAction* action = NewCheckMarkAction("Always On &Top", nullptr);
    std::unique_ptr<QAction> owner(action);
    std::vector<bool> seenByHandler;
    QObject::connect(action, &QAction::triggered, [&] { seenByHandler.push_back(action->isChecked()); });

    EXPECT_TRUE(action->isCheckable());
    action->trigger();
    EXPECT_FALSE(action->isChecked());  // no handler set it
    action->setChecked(true);
    action->trigger();
    EXPECT_TRUE(action->isChecked());
    EXPECT_EQ(seenByHandler, (std::vector<bool>{false, true}));
}

TEST(CheckMarkCodeOnlyTest, InvertingHandlerInvertsOnce) {
    QAction action("&Timestamp");
    MakeCheckMarkCodeOnly(&action);
    QObject::connect(&action, &QAction::triggered, [&] { action.setChecked(!action.isChecked()); });
    action.trigger();
    EXPECT_TRUE(action.isChecked());
    action.trigger();
    EXPECT_FALSE(action.isChecked());
}

TEST(CheckMarkCodeOnlyTest, ToolButtonShowsTheMarkTheCodeSet) {
    QAction action("Motion");
    MakeCheckMarkCodeOnly(&action);
    int triggers = 0;
    QObject::connect(&action, &QAction::triggered, [&] { ++triggers; });
    QToolButton button;
    button.setDefaultAction(&action);

    button.click();
    EXPECT_EQ(triggers, 1);
    EXPECT_FALSE(action.isChecked());
    EXPECT_FALSE(button.isChecked());

    action.setChecked(true);
    EXPECT_TRUE(button.isChecked());
    button.click();
    EXPECT_TRUE(action.isChecked());
    EXPECT_TRUE(button.isChecked());
}

}  // namespace
}  // namespace snapwire::ui

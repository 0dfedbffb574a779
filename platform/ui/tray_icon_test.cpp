#include "platform/ui/tray_icon.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QSystemTrayIcon>

namespace snapwire::ui {
namespace {

TEST(TrayIconTest, WithoutATrayAddFailsAndRemoveIsHarmless) {
    ASSERT_FALSE(TrayIcon::Available()) << "the offscreen platform has no tray";
    TrayIcon tray;
    tray.Remove();  // never added
    EXPECT_FALSE(tray.Add(QIcon(), "Snapwire"));
    EXPECT_FALSE(tray.IsShown());
    tray.Remove();
    EXPECT_FALSE(tray.IsShown());
}

TEST(TrayIconTest, OnlyDoubleClickAndContextAct) {
    TrayIcon tray;
    auto* icon = tray.findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    int doubleClicks = 0;
    std::vector<QPoint> menus;
    QObject::connect(&tray, &TrayIcon::DoubleClicked, [&] { ++doubleClicks; });
    QObject::connect(&tray, &TrayIcon::ContextMenuRequested, [&](const QPoint& at) { menus.push_back(at); });

    Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
    Q_EMIT icon->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_EQ(doubleClicks, 0);
    EXPECT_TRUE(menus.empty());

    Q_EMIT icon->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(doubleClicks, 1);

    QCursor::setPos(40, 30);
    Q_EMIT icon->activated(QSystemTrayIcon::Context);
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus.front(), QCursor::pos());
    EXPECT_EQ(doubleClicks, 1);
}

}  // namespace
}  // namespace snapwire::ui

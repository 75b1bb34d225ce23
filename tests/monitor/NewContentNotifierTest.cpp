#include "monitor/NewContentNotifier.h"

#include <gtest/gtest.h>

#include "base/GbkCodec.h"
#include "monitor/MonitorEngineFakes.h"
#include "support/FakeStatusLog.h"

namespace lumo {
namespace {

const Text kAlertStart = gbk("\r\n发现有新内容，已发出提醒通知！----");

TEST(NewContentNotifier, AlertFollowsTheBoxesButAlwaysLogsAndClearsTheFlag) {
    for (const bool sound : {true, false}) {
        for (const bool icon : {true, false}) {
            SCOPED_TRACE(std::string("sound ") + (sound ? "on" : "off") + ", icon " +
                         (icon ? "on" : "off"));
            test::FakeAlertSurface surface;
            surface.sound = sound;
            surface.icon = icon;
            test::FakeStatusLog log;
            MonitorState state;
            state.newContentFound = true;
            NewContentNotifier notifier(surface, log, state);
            notifier.notifyNewContent(true);
            EXPECT_EQ(surface.soundsPlayed, sound ? 1 : 0);
            EXPECT_EQ(surface.iconsShown.size(), icon ? 1u : 0u);
            if (icon) {
                EXPECT_EQ(surface.iconsShown[0], TrayIconKind::Alert);
            }
            EXPECT_EQ(log.content().rfind(kAlertStart, 0), 0u);
            EXPECT_GT(log.content().size(), kAlertStart.size());  // the time follows
            EXPECT_FALSE(state.newContentFound);

            // A second alert before the user comes back: sound again, another line.
            notifier.notifyNewContent(true);
            EXPECT_EQ(surface.soundsPlayed, sound ? 2 : 0);
            EXPECT_EQ(log.content().find(kAlertStart, 1), log.content().size() / 2);

            // A plan's health changed: the same alert, without a line of its own and without
            // touching the flag a round's articles raise.
            log.replace("");
            state.newContentFound = true;
            notifier.notifyPlanHealthChange();
            EXPECT_EQ(surface.soundsPlayed, sound ? 3 : 0);
            if (icon) {
                EXPECT_EQ(surface.iconsShown.back(), TrayIconKind::Alert);
            }
            EXPECT_EQ(log.content(), "");
            EXPECT_TRUE(state.newContentFound);
        }
    }
}

TEST(NewContentNotifier, OffRestoresTheNormalIconOnlyWhileTheIconBoxIsChecked) {
    test::FakeAlertSurface surface;
    test::FakeStatusLog log;
    MonitorState state;
    NewContentNotifier notifier(surface, log, state);
    notifier.notifyNewContent(true);
    surface.icon = false;
    notifier.notifyNewContent(false);
    EXPECT_EQ(surface.iconsShown, std::vector<TrayIconKind>{TrayIconKind::Alert});
    surface.icon = true;
    notifier.notifyNewContent(false);
    EXPECT_EQ(surface.iconsShown,
              (std::vector<TrayIconKind>{TrayIconKind::Alert, TrayIconKind::Normal}));
    EXPECT_EQ(surface.soundsPlayed, 1);
    EXPECT_EQ(log.content().find(kAlertStart, 1), Text::npos);  // no line for "off"
}

}  // namespace
}  // namespace lumo

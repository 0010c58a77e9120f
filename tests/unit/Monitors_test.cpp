#include "common/Monitors.h"
#include "display/DisplayPlace.h"

#include <gtest/gtest.h>

using namespace plumwick;

namespace {

// A shop PC: the 1920x1080 primary with its taskbar at the bottom, and the customer's 1366x768 monitor to
// its right with no taskbar.
MonitorInfo Primary() {
    return MonitorInfo{u"\\\\.\\DISPLAY1", {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96, true};
}
MonitorInfo Customer() {
    return MonitorInfo{u"\\\\.\\DISPLAY2", {1920, 0, 3286, 768}, {1920, 0, 3286, 768}, 96, false};
}

DisplayDesign Design() {
    DisplayDesign design;
    design.toolbarWidthPx = 392;
    design.fontSize = 36.0f;
    return design;
}

} // namespace

TEST(Monitors, ChoiceFromShopIni) {
    using Kind = MonitorChoice::Kind;
    EXPECT_EQ(ParseMonitorChoice(u""), MonitorChoice{});
    EXPECT_EQ(ParseMonitorChoice(u"Primary"), MonitorChoice{});
    EXPECT_EQ(ParseMonitorChoice(u" secondary "), (MonitorChoice{Kind::Secondary, 0}));
    EXPECT_EQ(ParseMonitorChoice(u"2"), (MonitorChoice{Kind::Numbered, 2}));
    EXPECT_EQ(ParseMonitorChoice(u"12"), (MonitorChoice{Kind::Numbered, 12}));
    for (std::u16string_view bad : {u"0", u"-1", u"two", u"2b", u"99999", u"\\\\.\\DISPLAY2"}) {
        EXPECT_EQ(ParseMonitorChoice(bad), std::nullopt) << std::string(bad.begin(), bad.end());
    }
    EXPECT_EQ(DisplayDeviceName(3), u"\\\\.\\DISPLAY3");
}

TEST(Monitors, PickedByDeviceNameNeverByPlace) {
    using Kind = MonitorChoice::Kind;
    // Listed with the customer's first, both at the same place (Xinerama stacks them at 0,0).
    MonitorInfo customer = Customer();
    customer.rect = {0, 0, 1366, 768};
    customer.work = customer.rect;
    std::vector<MonitorInfo> monitors{customer, Primary()};

    EXPECT_EQ(PickMonitor(monitors, {})->index, 1u);
    EXPECT_EQ(PickMonitor(monitors, {Kind::Secondary, 0})->index, 0u);
    EXPECT_EQ(PickMonitor(monitors, {Kind::Numbered, 2})->index, 0u);
    EXPECT_EQ(PickMonitor(monitors, {Kind::Numbered, 1})->index, 1u);
    EXPECT_FALSE(PickMonitor(monitors, {Kind::Numbered, 2})->missing);
    // Case does not matter in a device name.
    monitors[0].deviceName = u"\\\\.\\display2";
    EXPECT_EQ(PickMonitor(monitors, {Kind::Numbered, 2})->index, 0u);

    // A monitor that is not there: the primary, and the caller says so.
    MonitorPick absent = *PickMonitor(monitors, {Kind::Numbered, 3});
    EXPECT_EQ(absent.index, 1u);
    EXPECT_TRUE(absent.missing);
    std::vector<MonitorInfo> one{Primary()};
    EXPECT_TRUE(PickMonitor(one, {Kind::Secondary, 0})->missing);
    // A list where no monitor says it is the primary: the first stands in; an empty list picks nothing.
    one[0].primary = false;
    EXPECT_EQ(PickMonitor(one, {})->index, 0u);
    EXPECT_EQ(PickMonitor({}, {}), std::nullopt);
}

TEST(Monitors, DisplayStandsOnTheTaskbarOfItsMonitor) {
    DisplayLayout layout = LayOutDisplay(Primary(), Design(), std::nullopt);
    EXPECT_EQ(layout.main, (PixelRect{0, 394, 1920, 1040}));   // 646 high, bottom on the taskbar
    EXPECT_EQ(layout.karaoke, (PixelRect{0, 394, 1920, 505})); // 111 high, over the main window's top
    // The panel's top 455 twips (30.3 px) above the main top; the toolbar's middle on it, centred.
    EXPECT_EQ(layout.panel, (PixelRect{0, 364, 1920, 491}));
    EXPECT_EQ(layout.toolbar, (PixelRect{764, 346, 1156, 382}));

    // The taskbar at the top: the bottom goes on the screen's bottom.
    MonitorInfo top = Primary();
    top.work = {0, 40, 1920, 1080};
    EXPECT_EQ(LayOutDisplay(top, Design(), std::nullopt).main, (PixelRect{0, 434, 1920, 1080}));

    // The customer's monitor: its own width, its own bottom, the toolbar centred on it.
    DisplayLayout customer = LayOutDisplay(Customer(), Design(), std::nullopt);
    EXPECT_EQ(customer.main, (PixelRect{1920, 122, 3286, 768}));
    EXPECT_EQ(customer.panel.left, 1920);
    EXPECT_EQ(customer.panel.Width(), 1366);
    EXPECT_EQ(customer.toolbar.left, 1920 + (1366 - 392) / 2);

    // At 144 DPI every design size is half as large again.
    MonitorInfo scaled = Primary();
    scaled.dpi = 144;
    DisplayLayout big = LayOutDisplay(scaled, Design(), std::nullopt);
    EXPECT_EQ(big.main.Height(), 969);
    EXPECT_EQ(big.main.bottom, 1040);
    EXPECT_EQ(big.panel.Height(), 190); // 127 x 1.5, halves to even
    EXPECT_EQ(big.toolbar.Width(), 588);
    EXPECT_EQ(big.main.top - big.panel.top, 46); // 455 twips at 10 to the pixel, halves to even
}

TEST(Monitors, DraggedPlaceIsKeptInsideTheNewWorkArea) {
    // Dragged to 300 on the primary; the taskbar then grows to two rows.
    MonitorInfo before = Primary();
    EXPECT_EQ(LayOutDisplay(before, Design(), 300).main.top, 300);
    MonitorInfo after = Primary();
    after.work.bottom = 1000;
    EXPECT_EQ(LayOutDisplay(after, Design(), 300).main.top, 300);
    // Dragged low, near the old taskbar: brought up so the panel and line stay above the new one (the
    // line and the panel reach 97 px below the main top at size 36).
    EXPECT_EQ(LayOutDisplay(after, Design(), 930).main.top, 1000 - 97);
    // Dragged under a taskbar that moved to the top: brought down below it, the toolbar included (49 px).
    after.work = {0, 60, 1920, 1080};
    EXPECT_EQ(LayOutDisplay(after, Design(), 20).main.top, 60 + 49);
    // A place from a taller monitor on the customer's 768-row one.
    EXPECT_EQ(LayOutDisplay(Customer(), Design(), 900).main.top, 768 - 97);
    // The reach is measured at the monitor's DPI: half as much again at 144.
    MonitorInfo scaled = Primary();
    scaled.dpi = 144;
    EXPECT_EQ(LayOutDisplay(scaled, Design(), 1040).main.top, 1040 - 146);
    EXPECT_EQ(LayOutDisplay(scaled, Design(), 0).main.top, 74);
}

// Dragged sideways: placed again (a DPI change, a new work area) the text windows keep their shift from the
// monitor's edge, never so far that the line's middle leaves the monitor; the panel and toolbar stay across
// the monitor.
TEST(Monitors, SidewaysDragIsKeptWhenPlacedAgain) {
    DisplayLayout shifted = LayOutDisplay(Customer(), Design(), 300, -200);
    EXPECT_EQ(shifted.main, (PixelRect{1720, 300, 3086, 946}));
    EXPECT_EQ(shifted.karaoke.left, 1720);
    EXPECT_EQ(shifted.karaoke.right, 3086);
    EXPECT_EQ(shifted.panel.left, 1920);
    EXPECT_EQ(shifted.panel.right, 3286);
    EXPECT_EQ(shifted.toolbar.left, 1920 + (1366 - 392) / 2);
    EXPECT_EQ(LayOutDisplay(Customer(), Design(), 300, 5000).main.left, 1920 + 683);
    EXPECT_EQ(LayOutDisplay(Customer(), Design(), 300, -5000).main.left, 1920 - 683);
    EXPECT_EQ(LayOutDisplay(Primary(), Design(), std::nullopt, 0).main.left, 0);
}

TEST(Monitors, DisplayMoveOnlyWhenItsMonitorChanged) {
    using Notice = DisplayMonitor::Notice;
    DisplayMonitor display(MonitorChoice{MonitorChoice::Kind::Numbered, 2});
    std::vector<MonitorInfo> both{Primary(), Customer()};

    DisplayMonitor::Decision start = display.Update(both);
    EXPECT_TRUE(start.place);
    EXPECT_EQ(start.notice, Notice::None);
    EXPECT_EQ(display.Current()->deviceName, u"\\\\.\\DISPLAY2");

    // The same message again, or a change on the other monitor: nothing moves.
    EXPECT_FALSE(display.Update(both).place);
    std::vector<MonitorInfo> taskbarMoved = both;
    taskbarMoved[0].work = {0, 40, 1920, 1080};
    EXPECT_FALSE(display.Update(taskbarMoved).place);

    // The customer's monitor gets a taskbar, then another resolution: placed again each time.
    both[1].work.bottom = 728;
    EXPECT_TRUE(display.Update(both).place);
    both[1].rect.right = both[1].work.right = 1920 + 1280;
    EXPECT_TRUE(display.Update(both).place);
    both[1].dpi = 120;
    EXPECT_TRUE(display.Update(both).place);

    // Unplugged: onto the primary, said once; back by its name, said once more.
    std::vector<MonitorInfo> alone{Primary()};
    DisplayMonitor::Decision gone = display.Update(alone);
    EXPECT_TRUE(gone.place);
    EXPECT_EQ(gone.notice, Notice::Gone);
    EXPECT_TRUE(display.Current()->primary);
    EXPECT_EQ(display.Update(alone).notice, Notice::None);
    DisplayMonitor::Decision back = display.Update(both);
    EXPECT_TRUE(back.place);
    EXPECT_EQ(back.notice, Notice::Returned);
    EXPECT_EQ(display.Current()->deviceName, u"\\\\.\\DISPLAY2");

    // A list the system failed to give leaves everything where it is.
    EXPECT_FALSE(display.Update({}).place);
    EXPECT_EQ(display.Current()->deviceName, u"\\\\.\\DISPLAY2");
}

TEST(Monitors, MissingChoiceIsSaidAtStartOnly) {
    using Notice = DisplayMonitor::Notice;
    DisplayMonitor display(MonitorChoice{MonitorChoice::Kind::Secondary, 0});
    std::vector<MonitorInfo> alone{Primary()};
    DisplayMonitor::Decision start = display.Update(alone);
    EXPECT_TRUE(start.place);
    EXPECT_EQ(start.notice, Notice::ChosenMissing);
    EXPECT_EQ(display.Update(alone).notice, Notice::None);
    // Plugged in later: the display goes there.
    EXPECT_EQ(display.Update({Primary(), Customer()}).notice, Notice::Returned);
    EXPECT_FALSE(display.Current()->primary);
}

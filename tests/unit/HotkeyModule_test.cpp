#include "hotkey/HotkeyModule.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace plumwick;

namespace {

constexpr std::uintptr_t kToolbarProc = 0x1000;
constexpr std::uintptr_t kHookProc = 0x2000;

// A window whose procedure can be swapped, recording every call made on it.
class FakeWindow : public HotkeyTarget {
  public:
    std::uintptr_t Hook() override {
        calls.push_back("hook");
        return std::exchange(proc, kHookProc);
    }
    void Unhook(std::uintptr_t previous) override {
        calls.push_back("unhook " + std::to_string(previous));
        proc = previous;
    }
    bool Register(std::int32_t id, std::uint32_t modifiers, std::int32_t key) override {
        calls.push_back("register " + std::to_string(id) + " " + std::to_string(modifiers) + " " +
                        std::to_string(key));
        return registers;
    }
    void Unregister(std::int32_t id) override { calls.push_back("unregister " + std::to_string(id)); }

    std::uintptr_t proc = kToolbarProc;
    bool registers = true; // false: the combination belongs to another program
    std::vector<std::string> calls;
};

using Calls = std::vector<std::string>;
const std::string kUnhookToolbar = "unhook " + std::to_string(kToolbarProc);

} // namespace

TEST(HotkeyModule, AddHooksOnceAndRegisters) {
    FakeWindow window;
    HotkeyState state;
    EXPECT_EQ(SetHotKey(state, window, 1, u"Ctrl+Alt,87", u"Add"), HotkeyResult::Done);
    EXPECT_EQ(window.calls, (Calls{"hook", "register 1 3 87"}));
    EXPECT_TRUE(state.hooked);
    EXPECT_EQ(state.oldWndProc, kToolbarProc);
    EXPECT_EQ(window.proc, kHookProc);
    EXPECT_EQ(state.hotKeyId, 1);
    EXPECT_EQ(state.hotKeyModifiers, 3);
    EXPECT_EQ(state.hotKeyCode, 87);

    // A second hotkey on the same window: no second hook, so the saved procedure is never the hook.
    window.calls.clear();
    SetHotKey(state, window, 2, u"Shift+Alt,65", u"Add");
    EXPECT_EQ(window.calls, (Calls{"register 2 5 65"}));
    EXPECT_EQ(state.oldWndProc, kToolbarProc);
    EXPECT_EQ(state.hotKeyId, 2);
    EXPECT_EQ(state.hotKeyModifiers, 5);
}

TEST(HotkeyModule, ARefusedRegistrationIsReportedAndStillHooked) {
    FakeWindow window;
    window.registers = false;
    HotkeyState state;
    EXPECT_EQ(SetHotKey(state, window, 1, u"Ctrl+Alt,87", u"Add"), HotkeyResult::NotRegistered);
    EXPECT_TRUE(state.hooked);
    // "Del" then unhooks exactly once, back to the toolbar's own procedure.
    window.calls.clear();
    EXPECT_EQ(SetHotKey(state, window, 1, u"", u"Del"), HotkeyResult::Done);
    EXPECT_EQ(window.calls, (Calls{kUnhookToolbar, "unregister 1"}));
    EXPECT_EQ(window.proc, kToolbarProc);
}

TEST(HotkeyModule, DelRestoresTheProcedureAndUnregisters) {
    FakeWindow window;
    HotkeyState state;
    SetHotKey(state, window, 1, u"Ctrl+Alt,87", u"Add");
    window.calls.clear();
    SetHotKey(state, window, 1, u"", u"Del");
    EXPECT_EQ(window.calls, (Calls{kUnhookToolbar, "unregister 1"}));
    EXPECT_FALSE(state.hooked);
    EXPECT_EQ(window.proc, kToolbarProc);
    EXPECT_EQ(state.hotKeyId, 1);
    EXPECT_EQ(state.hotKeyModifiers, 0); // cleared by every operation, set only by "Add"
    EXPECT_EQ(state.hotKeyCode, 0);

    // Hooked again from the restored procedure, not from a stale one.
    window.calls.clear();
    SetHotKey(state, window, 1, u"87", u"Add");
    EXPECT_EQ(window.calls, (Calls{"hook", "register 1 0 87"}));
    EXPECT_EQ(state.oldWndProc, kToolbarProc);
}

TEST(HotkeyModule, DelWhileNotHookedEndsWhereItBegan) {
    FakeWindow window;
    HotkeyState state;
    SetHotKey(state, window, 1, u"", u"Del");
    EXPECT_EQ(window.calls, (Calls{"hook", kUnhookToolbar, "unregister 1"}));
    EXPECT_EQ(window.proc, kToolbarProc);
    EXPECT_FALSE(state.hooked);
}

TEST(HotkeyModule, BadSpecOrUnknownActionChangesNothing) {
    struct Case {
        std::u16string spec;
        std::u16string action;
        HotkeyResult result;
    };
    const Case cases[] = {
        {u"Ctrl+Alt,W", u"Add", HotkeyResult::BadSpec},
        {u"Ctrl,", u"Add", HotkeyResult::BadSpec},
        {u"Alt,99999999999", u"Del", HotkeyResult::BadSpec},
        {u"Ctrl+Alt,87", u"add", HotkeyResult::UnknownAction},
        {u"Ctrl+Alt,87", u"", HotkeyResult::UnknownAction},
    };
    for (const Case& c : cases) {
        FakeWindow window;
        HotkeyState state;
        SetHotKey(state, window, 1, u"Ctrl+Alt,87", u"Add");
        window.calls.clear();
        EXPECT_EQ(SetHotKey(state, window, 7, c.spec, c.action), c.result);
        EXPECT_TRUE(window.calls.empty());
        EXPECT_TRUE(state.hooked);
        EXPECT_EQ(state.hotKeyId, 1);
        EXPECT_EQ(state.hotKeyModifiers, 3);
        EXPECT_EQ(state.hotKeyCode, 87);
        EXPECT_EQ(window.proc, kHookProc);
    }
    // Not hooked yet: an unknown action must not leave a hook behind.
    FakeWindow window;
    HotkeyState state;
    SetHotKey(state, window, 1, u"Ctrl+Alt,87", u"Remove");
    EXPECT_TRUE(window.calls.empty());
    EXPECT_FALSE(state.hooked);
}

TEST(HotkeyModule, OnlyHotkeyOneUnlocks) {
    EXPECT_TRUE(IsUnlockHotkey(0x312, 1));
    EXPECT_FALSE(IsUnlockHotkey(0x312, 2));
    EXPECT_FALSE(IsUnlockHotkey(0x312, 0));
    EXPECT_FALSE(IsUnlockHotkey(0x311, 1));
}

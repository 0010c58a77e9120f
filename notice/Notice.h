#pragma once
// Notices: the program's one way to tell the operator something without stopping anything. A notice is a
// small window of its own that closes by itself; nothing waits for it.
#include "common/PixelRect.h"

#include <bitset>
#include <string>
#include <vector>

namespace plumwick {

// Each cause is told at most once per start, however often it arises, unless the condition behind it is
// over (the folder back, the monitor back, the feeds answering): then it is told again when it comes back,
// since a display runs for months and a second outage is news again.
enum class NoticeCause {
    SettingsPlace,        // the settings are kept per user, since the program folder cannot be written
    SettingsNotSaved,     // the settings could not be written anywhere
    HotkeyRefused,        // shop.ini names an unlock hotkey that cannot be one
    HotkeyTaken,          // another program owns the unlock hotkey
    PipeUnavailable,      // the command pipe cannot be served; the command box still works
    PublicationCut,       // a publication was over the display's budget: files or lines were left out
    RestoreSkipped,       // the remembered publication failed, or died, at an earlier start; it waits
    FontMissing,          // the chosen font is not installed; another face draws
    HomePageRefused,      // shop.ini's HomePage is no web address or page of the program folder
    ContentFolderRefused, // shop.ini's ContentFolder cannot be used; Text\ beside the program is
    ContentFolderAway,    // the content folder cannot be reached; the display goes on with what it has
    MonitorMissing,       // shop.ini's Monitor names no monitor of this PC; the display is on the primary
    MonitorGone,          // the display's monitor went away; the display is on the primary until it returns
    ScheduleUnreadable,   // schedule.ini has lines that cannot be read; the files they name stay off
    StatusFolderRefused,  // StatusFolder is no folder a status file can go to; none is written
    ManagedValueIgnored,  // a policy or machine-wide value is not one the program can use
    AdministratorSet,     // values set by policy, which the toolbar and the content manager cannot change
    AdministratorChanged, // the policies changed while the program runs
    FeedFailed,           // a published feed could not be fetched (or its .url read); its last copy stays
    Count
};

class Notifier {
  public:
    virtual ~Notifier() = default;
    // Shows `text` unless this cause has been told since the start. Returns at once.
    virtual void Notify(NoticeCause cause, std::u16string text) = 0;
    // The condition behind `cause` is over: the next time it arises it is told again.
    virtual void Cleared(NoticeCause cause) { (void)cause; }
};

// How long a notice stays unless it is clicked away.
inline constexpr unsigned kNoticeLifetimeMs = 15000;

class NoticeGate {
  public:
    // True the first time a cause comes, false ever after.
    bool FirstTime(NoticeCause cause);
    // The cause counts as not told again.
    void Cleared(NoticeCause cause);

  private:
    std::bitset<static_cast<std::size_t>(NoticeCause::Count)> told_;
};

// Where a new notice of the given size goes: the top-right corner of the work area, a margin in (the
// display lies along the bottom, and the corner keeps the notice off it), below the notices still open
// so none hides another. When the column is full it starts at the top again. A notice wider or taller
// than the work area is cut to it. The margin is in device pixels: kNoticeMarginPx scaled to the
// monitor's DPI.
inline constexpr int kNoticeMarginPx = 12;
PixelRect PlaceNotice(const PixelRect& workArea, int width, int height, const std::vector<PixelRect>& open,
                      int marginPx = kNoticeMarginPx);

} // namespace plumwick

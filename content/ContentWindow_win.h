#pragma once
// The content manager: one check box per .txt file under Text\, and the publish of the ticked ones.
#include "common/AnsiCodePage.h"
#include "content/CacheStore_win.h"
#include "content/ContentCache.h"
#include "content/ContentHost.h"
#include "content/ContentText.h"
#include "content/ContentWatcher_win.h"
#include "content/FeedFetcher_win.h"
#include "content/FolderScan.h"
#include "content/PublicationMemory.h"
#include "content/ScheduledRotation.h"
#include "notice/Notice.h"
#include "rotation/RotationPorts.h"
#include "win32/Handles_win.h"
#include "win32/Result_win.h"
#include "win32/Window_win.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace plumwick {

class ContentWindow : public win::Window, public TickGate {
  public:
    // `contentFolder` (ending in '\') holds the content files: Text\ beside the program or shop.ini's
    // ContentFolder; files not in UTF-8 or UTF-16 are read in `codePage`. Publications go to `feed`, the
    // message rotation.
    ContentWindow(ContentHost& host, MessageFeed& feed, std::u16string contentFolder,
                  const AnsiCodePage& codePage, Notifier& notifier);
    ~ContentWindow() override;

    // Loads (scans the content folder, reads the interval, makes sure the folder exists) and shows the
    // window. When the window is still loaded it is only shown. The first load of the process brings back
    // the ticks of the remembered publication, and stays hidden when that publication can be restored.
    bool Load();
    // Shown if hidden, hidden if shown (the toolbar's content-manager button). Shown again, it lists the
    // files added or removed since, keeping the ticks of those still there. A window closed with its close
    // box is loaded again, which rescans the folder.
    void ToggleVisible();
    // At start, once the welcome line is up: publishes the remembered publication again, without message
    // boxes and with the window hidden, when the first load found one to restore. When none of its files
    // gives anything after all, the window shows as on a first start.
    void RestoreRemembered();
    // Shown and activated with the files as they are now (the toolbar's button, a second start): a fresh
    // scan keeping the ticks of files still listed, placed beside the line again. Loaded if closed.
    void ShowAgain();
    // Shown and activated like any ordinary window.
    void ShowActive();

    // The content folder an administrator changed while the program runs (ending in '\'): the list and
    // the watcher follow it, and the publication's files are read again from it (those not there drop out,
    // as when removed).
    void ChangeFolder(std::u16string contentFolder);
    // The administrator's publication, now in force, is published at once with the interval in force, its
    // files ticked in the list.
    void PublishAdministered();

    // "确定 ": publishes the ticked files as the message list and starts the rotation.
    void Publish();
    // "画文字 ": draws the whole content buffer on the main window and starts the karaoke sweep.
    void DrawBuffer();

    // The controls whose values an administrator set by policy: they show the value, disabled.
    struct Administered {
        bool interval = false;
        bool split = false;
        bool publication = false;
        bool operator==(const Administered&) const = default;
    };
    void SetAdministered(Administered administered);

    // What ?status tells of the content: whether the folder answers, since when not, and when the
    // publication was last built from its files.
    struct ContentState {
        bool folderReachable = true;
        std::string awaySince;   // "YYYY-MM-DD HH:MM", empty while reachable
        std::string lastRebuild; // empty before the first publication
    };
    ContentState State() const;

    // TickGate: which lines a rotation tick may draw now, by schedule.ini.
    Choice ChooseTick(const std::vector<std::u16string>& lines, double r) override;

  private:
    class EntryPanel;
    struct Entry {
        HWND box;
        ContentEntry file;
    };
    enum Timer : UINT_PTR { kKeepAboveTimer = 1 };
    static constexpr UINT kKeepAboveIntervalMs = 100;
    enum ControlId : int {
        kLabel1Id = 10,
        kText2Id,
        kCommand2Id,
        kCheck2Id,
        kCommand1Id,
        kFirstEntryId = 1000,
    };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, int code);
    void OnSize();
    void OnDestroy();
    bool CreateControls();
    // Findfile: one check box per content file below `folder`, growing the window as rows are added.
    void Findfile(const std::u16string& folder);
    std::vector<ContentEntry> Scan() const;
    // One check box per file, ticked as given.
    void CreateEntries(std::vector<ContentEntry> files, const std::vector<bool>& ticks);
    void DestroyEntries();
    // A fresh scan; the ticks of files still listed are kept.
    void Rescan();
    std::vector<ContentEntry> Files() const;
    std::vector<bool> Ticks() const;
    // Size and place: inside the work area, beside the text line, the grid scrolling when the room is short.
    // With a corner: there instead (kept inside its monitor's work area), only the height fitted.
    void FitAndPlace(std::optional<POINT> corner = std::nullopt);
    // The fonts at the window's DPI.
    void MakeFonts();
    // Fonts, controls and the list laid out again at the new DPI, the frame at the suggested place.
    void OnDpiChanged(const RECT& suggested) override;
    void LayOutPanel();
    // One published file as read: its bytes (a .url's own bytes for a feed).
    struct SourceRead {
        std::u16string path; // below the content folder
        std::string bytes;
    };
    // The files (below the content folder) read for a publication within its budget, their cached copies
    // when the folder does not answer; those past the budget go to leftOut, by their `names` when given.
    std::vector<SourceRead> ReadSources(const std::vector<std::u16string>& files,
                                        std::vector<std::u16string>& leftOut,
                                        const std::vector<std::u16string>* names = nullptr);
    // From now on the files (below the content folder) rebuild the publication when they change.
    void Follow(const std::vector<std::u16string>& files, SplitOption option);
    // The files as read become the publication: a file's text, or for a .url the feed's last good copy,
    // fetched anew from now on. The files are kept in the cache. True when a line can be shown or a feed
    // may bring one.
    bool PublishSources(const std::vector<SourceRead>& reads, SplitOption option,
                        const std::vector<std::u16string>& leftOut, bool rebuilt);
    // The publication's lines from its sources as they are now.
    bool Compose(SplitOption option, const std::vector<std::u16string>& leftOut, bool rebuilt);
    void FetchFeeds(std::vector<FeedRequest> feeds);
    // A feed's answer, on the window thread.
    void FeedArrived(FeedResult result);
    void FeedAnswered(const std::u16string& source);
    // At start with the folder away: the remembered publication from the cache. True when a line can be
    // shown.
    bool PublishFromCache(SplitOption option);
    // The watcher found the folder gone or back.
    void FolderReach(bool reachable);
    void StartWatcher();
    // At the end: stops the watchers and waits a short while for their threads.
    void EndWatchers();
    // The lines of a publication replace the rotation's, with their files for the schedule. True when a
    // line can be shown.
    bool FeedLines(const std::vector<std::u16string>& texts, std::vector<std::u16string> paths,
                   SplitOption option, const std::vector<std::u16string>& filesLeftOut, bool rebuilt);
    // The watcher's findings, on the window thread.
    void ScheduleRead(std::optional<std::string> bytes);
    void FilesRebuilt(unsigned generation, std::vector<std::optional<std::string>> files);
    // The path below the content folder of a listed file.
    std::u16string RelativePath(const ContentEntry& file) const;
    // Each box shows its file's name and, when schedule.ini covers it, its schedule.
    void ShowSchedules();
    SplitOption ChosenSplit() const;
    // The ticked files as the message list; the number of ticked entries. anyLine: the list holds a line
    // that can be shown.
    int BuildList(SplitOption option, bool& anyLine);
    // Text\ below the program folder, with its separator.
    std::u16string ContentFolder() const;
    void RememberPublication(SplitOption option);
    // Stores whether the restore at start is under way or finished.
    void MarkRestore(std::u16string_view mark);
    // While active, the window lies above the display's windows, which are topmost too.
    void KeepAboveDisplay(bool active);
    void OnKeepAboveTimer();
    // The controls an administrator set show the stored values, disabled.
    void ApplyAdministered();

    ContentHost& host_;
    MessageFeed& feed_;
    std::u16string contentFolder_;
    const AnsiCodePage& codePage_;
    Notifier& notifier_;
    win::UniqueFont labelFont_;
    win::UniqueFont fieldFont_;
    win::UniqueFont controlFont_;
    std::unique_ptr<EntryPanel> panel_;
    HWND label1_ = nullptr;
    HWND text2_ = nullptr;
    HWND command2_ = nullptr;
    HWND check2_ = nullptr;
    HWND command1_ = nullptr;
    HWND lastFocus_ = nullptr;
    std::vector<Entry> entries_;
    std::u16string buffer_; // the ticked files as the last publish joined and normalised them
    int scrollRangePx_ = 0;
    int designHeightPx_ = 0;
    bool publishing_ = false;
    bool loadedBefore_ = false;
    std::optional<RestorePlan> pendingRestore_;
    win::Result lastMemoryProblem_; // said once until a publication is remembered again
    ScheduledPublication scheduled_;
    std::unique_ptr<ContentWatcher> watcher_;
    std::vector<std::unique_ptr<ContentWatcher>> retiredWatchers_; // of earlier folders, ending
    unsigned generation_ = 0;                                      // of the publication the watcher watches
    std::vector<std::u16string> watchedPaths_;                     // its ticked files, full paths
    Administered administered_;
    SplitOption watchedOption_ = SplitOption::SingleBreak;
    // The publication's sources in order, with what each gives.
    struct PublishedSource {
        std::u16string path;
        std::u16string text; // a file's decoded text
        bool feed = false;
        std::u16string url;              // a feed's address
        std::optional<std::string> body; // a feed's last good answer
    };
    std::vector<PublishedSource> published_;
    SplitOption publishedOption_ = SplitOption::SingleBreak;
    std::unique_ptr<FeedFetcher> fetcher_;
    FolderCacheStore cacheStore_{FolderCacheStore::DefaultFolder()};
    ContentCache cache_{cacheStore_};
    std::optional<LocalDateTime> awaySince_;
    std::set<std::u16string> failingFeeds_; // published feeds whose last fetch failed
    std::string lastRebuild_;
    std::vector<std::u16string>
        restoreFromCache_; // the remembered files, when the start restores from the cache
    std::vector<std::u16string>
        ticksToRestore_; // the remembered files, ticked when the folder is listed again
};

} // namespace plumwick

#pragma once
// Form1: the content manager, one check box per .txt file under Text\, and the publish of the ticked ones.
#include "common/AnsiCodePage.h"
#include "content/ContentHost.h"
#include "content/FolderScan.h"
#include "win32/Handles_win.h"
#include "win32/Window_win.h"

#include <memory>
#include <string>
#include <vector>

namespace plumwick {

class ContentWindow : public win::Window {
  public:
    // `programFolder` holds Text\, the content folder; files not in UTF-8 or UTF-16 are read in `codePage`.
    ContentWindow(ContentHost& host, std::wstring programFolder, const AnsiCodePage& codePage);
    ~ContentWindow() override;

    // Loads (scans the content folder, reads the interval, makes sure the folder exists) and shows the
    // window. When the window is still loaded it is only shown.
    bool Load();
    // Shown if hidden, hidden if shown (the toolbar's content-manager button). A window closed with its
    // close box is loaded again, which rescans the folder.
    void ToggleVisible();
    // Shown and activated like any ordinary window.
    void ShowActive();

    // "确定 ": publishes the ticked files as the message list and starts the rotation.
    void Publish();
    // "画文字 ": draws the whole content buffer on the main window and starts the karaoke sweep.
    void DrawBuffer();

    // The content buffer as the last publish left it: the ticked files joined and normalised.
    const std::u16string& Buffer() const { return buffer_; }
    std::size_t EntryCount() const { return entries_.size(); }

  private:
    class EntryPanel;
    struct Entry {
        HWND box;
        ContentEntry file;
    };
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
    void FitToEntries();
    void CentreOnScreen();
    void LayOutPanel();
    std::vector<std::u16string> ReadTickedFiles(int& ticked) const;

    ContentHost& host_;
    std::wstring programFolder_;
    const AnsiCodePage& codePage_;
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
    std::u16string buffer_; // Text1, the hidden content buffer
    int scrollRangePx_ = 0;
    bool publishing_ = false;
};

} // namespace plumwick

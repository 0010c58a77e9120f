#include "notice/NoticeBoard_win.h"

#include "notice/EventLog.h"
#include "win32/Strings_win.h"
#include "win32/Window_win.h"

#include <algorithm>

namespace plumwick {

void NoticeBoard::Notify(NoticeCause cause, std::u16string text) {
    if (!gate_.FirstTime(cause)) {
        return;
    }
    LogEvent("notice", text);
    lastTold_ = Told{text, std::chrono::system_clock::now()};
    std::erase_if(notices_, [](const std::unique_ptr<NoticeWindow>& notice) { return !notice->Exists(); });
    std::vector<PixelRect> open;
    for (const auto& notice : notices_) {
        open.push_back(notice->Place());
    }
    RECT work = win::WorkArea();
    std::wstring wide = win::ToWide(text);
    SIZE size = NoticeWindow::Measure(wide);
    // Notices stay on the primary monitor, their margin at its DPI like their text.
    PixelRect place = PlaceNotice({work.left, work.top, work.right, work.bottom}, size.cx, size.cy, open,
                                  win::PrimaryScale().Pixels(kNoticeMarginPx));
    auto notice = std::make_unique<NoticeWindow>();
    if (notice->Open(wide, place)) {
        notices_.push_back(std::move(notice));
    }
}

} // namespace plumwick

#pragma once
// The program's notifier on the screen: one NoticeWindow per cause told, stacked in the top-right corner
// of the work area.
#include "notice/Notice.h"
#include "notice/NoticeWindow_win.h"

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace plumwick {

class NoticeBoard : public Notifier {
  public:
    NoticeBoard() = default;
    NoticeBoard(const NoticeBoard&) = delete;
    NoticeBoard& operator=(const NoticeBoard&) = delete;

    // Shown, and written to the log.
    void Notify(NoticeCause cause, std::u16string text) override;
    void Cleared(NoticeCause cause) override { gate_.Cleared(cause); }

    struct Told {
        std::u16string text;
        std::chrono::system_clock::time_point when;
    };
    // The last notice told since the start, for the status board.
    const std::optional<Told>& LastTold() const { return lastTold_; }

  private:
    std::optional<Told> lastTold_;
    NoticeGate gate_;
    // Closed notices are freed at the next Notify, never from inside their own window procedure.
    std::vector<std::unique_ptr<NoticeWindow>> notices_;
};

} // namespace plumwick

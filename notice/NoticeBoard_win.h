#pragma once
// The program's notifier on the screen: one NoticeWindow per cause told, stacked in the top-right corner
// of the work area.
#include "notice/Notice.h"
#include "notice/NoticeWindow_win.h"

#include <memory>
#include <vector>

namespace plumwick {

class NoticeBoard : public Notifier {
  public:
    NoticeBoard() = default;
    NoticeBoard(const NoticeBoard&) = delete;
    NoticeBoard& operator=(const NoticeBoard&) = delete;

    void Notify(NoticeCause cause, std::u16string text) override;

  private:
    NoticeGate gate_;
    // Closed notices are freed at the next Notify, never from inside their own window procedure.
    std::vector<std::unique_ptr<NoticeWindow>> notices_;
};

} // namespace plumwick

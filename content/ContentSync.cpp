#include "content/ContentSync.h"

#include "common/TextUtil.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace plumwick {

ContentSync::ContentSync(std::uint64_t nowMs, FolderLook built, SyncTiming timing)
    : timing_(timing), built_(std::move(built)) {
    Rest(nowMs);
}

void ContentSync::Rest(std::uint64_t nowMs) {
    phase_ = Phase::Idle;
    previous_.reset();
    dueMs_ = nowMs + timing_.rescanMs;
}

void ContentSync::Settle(std::uint64_t nowMs) {
    phase_ = Phase::Settling;
    dueMs_ = nowMs + timing_.settleMs;
}

void ContentSync::Changed(std::uint64_t nowMs) {
    if (phase_ == Phase::Rebuilding) {
        changedWhileRebuilding_ = true;
        return;
    }
    if (phase_ != Phase::Gathering) {
        phase_ = Phase::Gathering;
        gatherLimitMs_ = nowMs + timing_.maxGatherMs;
    }
    dueMs_ = std::min(nowMs + timing_.gatherMs, gatherLimitMs_);
}

bool ContentSync::LookDue(std::uint64_t nowMs) const {
    return phase_ != Phase::Rebuilding && nowMs >= dueMs_;
}

std::uint64_t ContentSync::NextLookMs() const {
    return dueMs_;
}

ContentSync::Verdict ContentSync::Looked(std::uint64_t nowMs, const FolderLook& look) {
    if (phase_ == Phase::Rebuilding) {
        return Verdict::Wait; // the rebuild's own result decides
    }
    if (!look.reachable) {
        Rest(nowMs);
        return Verdict::Unreachable;
    }
    const bool busy = std::any_of(look.files.begin(), look.files.end(),
                                  [](const FileLook& file) { return file.state == FileLook::State::Busy; });
    if (busy) {
        previous_ = look;
        Settle(nowMs);
        return Verdict::Wait;
    }
    if (look == built_) {
        Rest(nowMs);
        return Verdict::Unchanged;
    }
    // A size or time that moved between two looks a settle apart is a file still being written.
    if (previous_ && *previous_ == look) {
        phase_ = Phase::Rebuilding;
        changedWhileRebuilding_ = false;
        return Verdict::Rebuild;
    }
    previous_ = look;
    Settle(nowMs);
    return Verdict::Wait;
}

void ContentSync::Rebuilt(std::uint64_t nowMs, FolderLook look) {
    built_ = std::move(look);
    Rest(nowMs);
    if (changedWhileRebuilding_) {
        changedWhileRebuilding_ = false;
        Changed(nowMs);
    }
}

std::u16string FolderAwayNotice(const LocalDateTime& since) {
    char when[32];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d", since.date.year, since.date.month,
                  since.date.day, since.hour, since.minute);
    return Utf8ToUtf16(std::string("内容文件夹自 ") + when +
                       " 起无法访问，继续显示已发布的内容；恢复后自动更新。\r\nThe content folder cannot be "
                       "reached since " +
                       when + "; the display goes on with the lines it has and catches up when it is back.");
}

void ContentSync::RebuildFailed(std::uint64_t nowMs) {
    previous_.reset();
    changedWhileRebuilding_ = false;
    Settle(nowMs);
}

} // namespace plumwick

#include "app/ProgramLog_win.h"

#include "notice/EventLog.h"
#include "win32/KnownFolder_win.h"
#include "win32/LocalTime_win.h"
#include "win32/Result_win.h"
#include "win32/Strings_win.h"

namespace plumwick::win {

namespace {

LogTime LocalNow() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    LogTime time{local.wYear,   local.wMonth,  local.wDay,         local.wHour,
                 local.wMinute, local.wSecond, local.wMilliseconds};
    time.utcOffsetMinutes = win::LocalUtcOffsetMinutes();
    return time;
}

void LogFailure(const Result& failure) {
    LogEvent("failure", ToU16(failure.Text()));
}

} // namespace

std::wstring LogFolder() {
    std::wstring folder = KnownFolder(FOLDERID_LocalAppData);
    return folder.empty() ? folder : folder + L"\\plumwick\\log";
}

void OpenProgramLog() {
    std::wstring folder = LogFolder();
    if (folder.empty()) {
        return;
    }
    OpenLog(std::filesystem::path(folder), LocalNow);
    SetFailureListener(LogFailure);
}

} // namespace plumwick::win

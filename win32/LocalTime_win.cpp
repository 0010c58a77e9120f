#include "win32/LocalTime_win.h"

#include "win32/Windows_win.h"

namespace plumwick::win {

int LocalUtcOffsetMinutes() {
    TIME_ZONE_INFORMATION zone{};
    DWORD which = GetTimeZoneInformation(&zone);
    long bias = zone.Bias + (which == TIME_ZONE_ID_DAYLIGHT   ? zone.DaylightBias
                             : which == TIME_ZONE_ID_STANDARD ? zone.StandardBias
                                                              : 0);
    return static_cast<int>(-bias);
}

} // namespace plumwick::win

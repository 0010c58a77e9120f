#pragma once
// The offset from UTC the clock shows local time at now.
namespace plumwick::win {

// Minutes east of UTC, daylight saving time included while it is in force.
int LocalUtcOffsetMinutes();

} // namespace plumwick::win

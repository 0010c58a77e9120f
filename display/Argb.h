#pragma once
#include <cstdint>

namespace plumwick {

using Argb = std::uint32_t; // 0xAARRGGBB

} // namespace plumwick

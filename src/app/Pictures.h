#pragma once
// The launcher's two illustrations, JPEG files built into the program
// (src/app/pictures). The bytes live for the whole run.

#include <cstddef>
#include <span>

namespace Pictures {

// The acoustic-footprint module: a pressure map over a room plan with two
// loudspeakers and a listener, 161 x 114 pixels.
std::span<const unsigned char> Footprint();
// The room-as-equaliser module: a row of level bars, 161 x 87 pixels.
std::span<const unsigned char> RoomEq();

} // namespace Pictures

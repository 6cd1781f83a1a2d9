#include "app/Pictures.h"

namespace Pictures {

// Defined in the sources generated from the JPEG files.
extern const unsigned char footprintJpeg[];
extern const std::size_t footprintJpegSize;
extern const unsigned char roomeqJpeg[];
extern const std::size_t roomeqJpegSize;

std::span<const unsigned char> Footprint()
{
    return {footprintJpeg, footprintJpegSize};
}

std::span<const unsigned char> RoomEq()
{
    return {roomeqJpeg, roomeqJpegSize};
}

} // namespace Pictures

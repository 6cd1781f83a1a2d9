#pragma once
// Decoding of JPEG pictures held in memory, through libjpeg-turbo.

#include <QImage>

#include <span>

// Largest width or height accepted; a header that claims more is refused
// before any pixel memory is taken.
inline constexpr int MaxJpegSide = 8192;

// Decodes Data into a 24-bit RGB picture. Any failure (empty or truncated
// data, a corrupt stream, a picture larger than MaxJpegSide, a colour layout
// that cannot be turned into RGB, no memory) gives a null QImage: the
// library's errors never end the program and nothing is printed. A stream
// the library can only finish by patching over damage counts as a failure.
// Safe to call from any thread; Data is only read during the call.
QImage DecodeJpeg(std::span<const unsigned char> Data);

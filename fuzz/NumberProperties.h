#pragma once
// Cheap properties of the tolerant number reading and the two display formats,
// checked on one arbitrary input in the full-stop and the comma locale. A
// broken property prints the input and aborts. Shared by the fuzzer and by the
// test that replays its corpus.

#include <cstddef>
#include <cstdint>

void CheckNumberProperties(const std::uint8_t* Data, std::size_t Size);

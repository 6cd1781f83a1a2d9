// libFuzzer entry: every input goes through the number properties.
#include <cstddef>
#include <cstdint>

#include "NumberProperties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    CheckNumberProperties(Data, Size);
    return 0;
}

# Turns a file into a C++ source defining
#   namespace Pictures { extern const unsigned char SYMBOL[]; extern const std::size_t SYMBOLSize; }
# Usage: cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P EmbedFile.cmake
file(READ ${INPUT} _hex HEX)
string(LENGTH "${_hex}" _digits)
math(EXPR _bytes "${_digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _array "${_hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " _array "${_array}")
file(WRITE ${OUTPUT}.tmp
"// Generated from ${INPUT}; do not edit.
#include <cstddef>

namespace Pictures {
extern const unsigned char ${SYMBOL}[];
extern const std::size_t ${SYMBOL}Size;
const unsigned char ${SYMBOL}[] = {
    ${_array}
};
const std::size_t ${SYMBOL}Size = ${_bytes};
} // namespace Pictures
")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})

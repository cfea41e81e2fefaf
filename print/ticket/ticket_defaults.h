// What a ticket is made from when the operator changes nothing; the window and the command
// line start from the same values.
#pragma once

#include <cstdint>

namespace qrticket {

// A sample invoice code (ASCII, so it is the same in UTF-8 and Windows-1252): 140 characters.
inline constexpr const char* kSampleDataText =
    "A:123456789*B:999999990*C:PT*D:FS*E:N*F:20190812*G:FS CDVF/12345*H:CDF7T5HD12345*"
    "I1:PT*I7:0.65*I8:0.15*N:0.15*O:0.80*Q:YhGV*R:9999*S:NU;0.80";
inline constexpr const char* kDefaultModuleSizeText = "6";
inline constexpr std::int16_t kDefaultModelIndex = 1;       // "Modelo 2"
inline constexpr std::int16_t kDefaultErrorLevelIndex = 1;  // "Nivel M"

}  // namespace qrticket

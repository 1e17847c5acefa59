#pragma once

#include <string>

namespace zz {

// The BandGap label for the top hex digit `d` of configuration word 1, whose bits 13-12 are the
// chip's BandGap calibration: "3" gives "BandGap  11" ... "0" gives "BandGap  00". Empty for any
// other digit, which leaves the label as it was.
std::string bandgap_caption(char d);

} // namespace zz

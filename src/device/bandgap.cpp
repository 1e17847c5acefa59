#include "device/bandgap.h"

namespace zz {

std::string bandgap_caption(char d) {
    switch (d) {
    case '3':
        return "BandGap  11";
    case '2':
        return "BandGap  10";
    case '1':
        return "BandGap  01";
    case '0':
        return "BandGap  00";
    default:
        return {};
    }
}

} // namespace zz

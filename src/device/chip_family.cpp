#include "device/chip_family.h"

namespace zz {

const ChipFamily* find_chip_family(std::string_view text) {
    for (const auto& family : kChipFamilies)
        if (family.text == text)
            return &family;
    return nullptr;
}

bool model_supports_serial_eeproms(int model) {
    return model != 1 && model != 4;
}

} // namespace zz

#include "link/programmer_model.h"

#include <array>

namespace zz {

namespace {
constexpr std::array<ProgrammerModelInfo, 4> kModels{{
    {1, "4202", "VO310Z2/DI310D2", "VO310Z2:already connect", "VO310Z2:already connected",
     "VO310Z2:Reset failed.", "Programmer ZA-310", "VO310Z2 Programmer found in the", 10000},
    {2, "4203", "RA-320", "RA320:already connect", "RA320:already connected",
     "RA320:Reset failed.", "Programmer RA-320", "RA-320 Programmer found in the", 10000},
    {3, "4204", "RO-ZUZ330", "RO-ZUZ330:already connect", "RO-ZUZ330:already connected",
     "RO-ZUZ330:Reset failed.", "Programmer RO-ZUZ330", "RO-ZUZ330 Programmer found in the", 10000},
    {4, "4205", "VO300", "VO300:already connect", "VO300:already connected", "VO300:Reset failed.",
     "Programmer VO300", "VO300 device found in the", 500},
}};
} // namespace

const ProgrammerModelInfo* programmer_model(int model) {
    if (model < 1 || model > 4)
        return nullptr;
    return &kModels[static_cast<std::size_t>(model - 1)];
}

std::optional<int> model_of_identity(std::string_view identity_hex) {
    for (const auto& m : kModels) {
        if (m.identity == identity_hex)
            return m.model;
    }
    return std::nullopt;
}

} // namespace zz

// The board's firmware upgrade: the image the person received with the board lives in the data
// folder under the model's name.
#include "app/session.h"
#include "link/firmware_upgrade.h"

namespace zz {

std::filesystem::path Session::firmware_image_file() const {
    const std::string_view name = firmware_file_name(chosen_model.value_or(link_.ProgrammerModel));
    if (name.empty())
        return {};
    return env_.data_dir / name;
}

bool Session::firmware_upgrade_command(const std::filesystem::path& image) {
    if (locked_by_job())
        return false;
    return zz::firmware_upgrade_command(
        link_, {image.empty() ? firmware_image_file() : image, chip_.ROMblank, chosen_model});
}

} // namespace zz

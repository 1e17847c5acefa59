#include "dialogs/about/about_box.h"

namespace zz {

AboutBox::AboutBox(std::string_view window_caption)
    : description("Serial-line programmer for PIC microcontrollers and serial EEPROMs") {
    // The caption ends in " V" and the version number.
    const std::size_t v = window_caption.rfind(" V");
    version = v == std::string_view::npos ? std::string()
                                          : "Version " + std::string(window_caption.substr(v + 2));
}

} // namespace zz

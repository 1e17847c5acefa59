#pragma once

#include <string>
#include <string_view>

namespace zz {

// The about box: what it says and which picture it shows.
struct AboutBox {
    static constexpr const char* kCaption = "About";
    static constexpr const char* kProductName = "ZE-ZUZU PIC PROGRAMMER";
    static constexpr const char* kOkButton = "OK";
    // A JPEG in the data folder, drawn for this program.
    static constexpr const char* kPictureFile = "about.jpg";

    // `window_caption` is the main window's caption without a file ("ZE-ZUZU V2.37"): the box
    // shows the same version.
    explicit AboutBox(std::string_view window_caption);

    std::string version; // "Version 2.37"
    std::string description;
};

} // namespace zz

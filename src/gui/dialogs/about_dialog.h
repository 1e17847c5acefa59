#pragma once

#include "dialogs/about/about_box.h"

#include <QDialog>

#include <filesystem>

namespace zz {

// "About": the program's name, version and picture.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    // The picture comes from `data_dir`.
    AboutDialog(const AboutBox& box, const std::filesystem::path& data_dir,
                QWidget* parent = nullptr);
};

} // namespace zz

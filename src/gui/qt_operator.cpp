#include "gui/qt_operator.h"

#include "gui/tone_player.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace zz {

namespace {

// The core's texts break lines with CR LF.
QString dialog_text(std::string_view text) {
    QString out = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

QMessageBox::Icon box_icon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

std::string local_path(const QString& chosen) {
    if (chosen.isEmpty())
        return {};
    return QFile::encodeName(QFileInfo(chosen).absoluteFilePath()).toStdString();
}

} // namespace

void QtOperator::show_message(std::string_view text, std::string_view caption, Icon icon) {
    QMessageBox box(box_icon(icon), dialog_text(caption), dialog_text(text), QMessageBox::Ok,
                    parent_);
    box.exec();
}

bool QtOperator::ask_yes_no(std::string_view text, std::string_view caption) {
    QMessageBox box(QMessageBox::Question, dialog_text(caption), dialog_text(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

bool QtOperator::play_tone(int hz, int ms) {
    return play_sine_tone(hz, ms);
}

std::string QtOperator::choose_load_file() {
    return local_path(QFileDialog::getOpenFileName(
        parent_, QStringLiteral("Open"), QString(),
        QStringLiteral("Hex File (*.hex);;Bin File (*.bin);;All Files (*)")));
}

std::string QtOperator::choose_save_file() {
    QFileDialog dialog(parent_, QStringLiteral("Save As"), QString(),
                       QStringLiteral("Hex File (*.hex)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("hex"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return local_path(dialog.selectedFiles().front());
}

std::string QtOperator::choose_log_file() {
    QFileDialog dialog(parent_, QStringLiteral("Production Log"), QString(),
                       QStringLiteral("CSV File (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // records are added to the file
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return local_path(dialog.selectedFiles().front());
}

void QtOperator::open_help(const std::filesystem::path& manual) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(manual.c_str())));
}

} // namespace zz

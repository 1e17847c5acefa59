#include "gui/qt_operator.h"

#include "files/file_commands.h"
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

// "Hex File (*.hex)|*.hex|Bin File (*.bin)|*.bin" as Qt writes it: the descriptions, which
// name their patterns, separated by ";;".
QString qt_filter(std::string_view filter) {
    QStringList descriptions;
    const QStringList parts =
        QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size()))
            .split(QLatin1Char('|'));
    for (qsizetype k = 0; k < parts.size(); k += 2)
        descriptions << parts[k];
    return descriptions.join(QStringLiteral(";;"));
}

// "*.hex" -> "hex".
QString suffix_of(std::string_view pattern) {
    const auto dot = pattern.rfind('.');
    return dot == std::string_view::npos ? QString() : QString::fromUtf8(pattern.substr(dot + 1));
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
    return local_path(QFileDialog::getOpenFileName(parent_, QStringLiteral("Open"), QString(),
                                                   qt_filter(kLoadFilter)));
}

std::string QtOperator::choose_save_file() {
    QFileDialog dialog(parent_, QStringLiteral("Save As"), QString(), qt_filter(kSaveFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix_of(kSaveDefaultExtension));
    // A name typed without an extension gets the chosen filter's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) {
                         const qsizetype open = filter.lastIndexOf(QLatin1Char('.'));
                         dialog.setDefaultSuffix(filter.mid(open + 1).chopped(1));
                     });
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

#pragma once

#include "app/board_panel.h"

#include <QFrame>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace zz {

// One board of the station view: its port, programmer model and firmware, the state line, the
// progress, the last chip's number, what the board passed and failed, its last message, its own
// Program and Auto Program (Stop while the loop runs), and its question in the message's place
// with Yes and No when it asks one. It shows a BoardPanel; its buttons go to the board's commands.
class BoardPanelWidget : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 250;  // px
    static constexpr int kHeight = 178; // px

    struct Commands {
        std::function<void()> program;
        std::function<void()> start_auto;
        std::function<void()> stop;
        std::function<void(bool)> answer;
    };

    BoardPanelWidget(const QString& port, Commands commands, QWidget* parent = nullptr);

    // The board as its runner last published it; `leaving`: it goes once it is idle.
    void show_panel(const BoardPanel& panel, bool leaving = false);
    // The board is being started again (a new image): no commands meanwhile.
    void show_restarting();
    const BoardPanel& panel() const { return panel_; }

private:
    void build(const QString& port);
    QWidget* build_question();
    QWidget* build_buttons();
    void auto_clicked();

    Commands commands_;
    BoardPanel panel_;
    QLabel* model_ = nullptr;
    QLabel* state_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* serial_ = nullptr;
    QLabel* counts_ = nullptr;
    QLabel* message_ = nullptr;
    QWidget* question_row_ = nullptr; // Yes and No
    QPushButton* program_ = nullptr;
    QPushButton* auto_ = nullptr;
};

// The object name of the panel of `port`: "board:/dev/ttyUSB0".
QString board_panel_name(const std::string& port);

} // namespace zz

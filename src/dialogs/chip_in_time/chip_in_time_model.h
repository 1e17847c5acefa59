#pragma once

#include <string>

namespace zz {

// "Time Settings for Chip In Socket": how many reports of a chip in the socket the production
// loop waits for before it programs the chip. Nothing changes until OK.
class ChipInTimeModel {
public:
    static constexpr const char* kCaption = "Time Settings for Chip In Socket";
    static constexpr int kWidth = 225; // client area, pixels
    static constexpr int kHeight = 103;

    // Opens on the stored value; one outside the track bar's range shows as its nearest end.
    explicit ChipInTimeModel(int& ChipInSocketTime);

    int TrackBar1() const { return position_; }
    // The track bar moved (held to its range).
    void TrackBar1Change(int position);
    // "Chip In Socket Time(" position ")".
    std::string Label1() const;
    // OK: the position becomes ChipInSocketTime.
    void Button1Click() { stored_ = position_; }

private:
    int& stored_;
    int position_;
};

} // namespace zz

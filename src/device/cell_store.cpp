#include "device/cell_store.h"

#include <algorithm>

namespace zz {

void CellStore::reset(std::size_t count, std::string_view fill) {
    count_ = count;
    width_ = fill.size();
    odd_.clear();
    packed_.resize(count * width_);
    for (std::size_t i = 0; i < count; ++i)
        packed_.replace(i * width_, width_, fill);
}

std::string_view CellStore::get(std::size_t index) const {
    if (index >= count_)
        return {};
    if (!odd_.empty()) {
        const auto it = odd_.find(index);
        if (it != odd_.end())
            return it->second;
    }
    return std::string_view(packed_).substr(index * width_, width_);
}

void CellStore::set(std::size_t index, std::string_view text) {
    if (index >= count_)
        return;
    if (text.size() == width_) {
        packed_.replace(index * width_, width_, text);
        if (!odd_.empty())
            odd_.erase(index);
    } else {
        odd_[index] = std::string(text);
    }
}

void CellStore::append_to(std::string& out, std::size_t count) const {
    count = std::min(count, count_);
    if (odd_.empty()) {
        out.append(packed_, 0, count * width_);
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        out += get(i);
}

} // namespace zz

#include "files/line_reader.h"

namespace zz {

namespace {
constexpr std::size_t kBlockBytes = 64 * 1024;
}

LineReader::LineReader(std::FILE* file) : file_(file), block_(kBlockBytes) {}

bool LineReader::fill() {
    if (eof_ || failed_)
        return false;
    end_ = std::fread(block_.data(), 1, block_.size(), file_);
    pos_ = 0;
    if (end_ == 0) {
        failed_ = std::ferror(file_) != 0;
        eof_ = true;
        return false;
    }
    return true;
}

bool LineReader::next(std::string_view& line, bool& overlong) {
    line_.clear();
    overlong = false;
    bool any = false;
    while (pos_ < end_ || fill()) {
        const char c = block_[pos_++];
        // The LF of a CR LF pair belongs to the line the CR ended.
        if (after_cr_) {
            after_cr_ = false;
            if (c == '\n')
                continue;
        }
        if (c == '\n' || c == '\r') {
            after_cr_ = c == '\r';
            line = line_;
            return true;
        }
        any = true;
        if (line_.size() < kKeptChars)
            line_.push_back(c);
        else
            overlong = true;
    }
    line = line_;
    return any;
}

} // namespace zz

#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace zz {

// Reads an open file line by line in 64 KB blocks. A line ends at LF, CR LF or a lone CR. Only
// the first kKeptChars characters of a line are kept (a HEX record has at most 523), so a huge
// line costs no memory; `overlong` tells that characters were dropped.
class LineReader {
public:
    static constexpr std::size_t kKeptChars = 1024;

    explicit LineReader(std::FILE* file);

    // The next line without its line end; false at the end of the file or on a read error.
    bool next(std::string_view& line, bool& overlong);
    bool failed() const { return failed_; }

private:
    bool fill();

    std::FILE* file_;
    std::vector<char> block_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    bool after_cr_ = false;
    std::string line_;
};

// Closes the file when it goes out of scope.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace zz

#pragma once
// Messages are written for a window, over several lines; a terminal line, a log field or a
// database record takes them on one.
#include <string>
#include <string_view>
#include <vector>

namespace zz {

// The text without the blanks, tabs and carriage returns around it.
std::string trimmed(std::string_view text);
// The lines of `text`, split at "\n" ("\r\n" too), without their line ends.
std::vector<std::string> split_lines(std::string_view text);
// The text on one line: the lines, each trimmed, joined by one space, so a line that ends in a
// comma reads on naturally; blank lines are dropped.
std::string one_line(std::string_view text);

} // namespace zz

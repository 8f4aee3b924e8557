// Input and output helpers of the quorm tool: the error type every command
// reports through, reading point files, writing output files whole, and the
// progress bar.
#pragma once

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorm_tool {

// A failure the user can act on: main prints "quorm: <message>" on one line
// and exits with status 1.
struct ToolError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Rows of numbers read from a text file.
struct PointTable {
    int columns = 0;
    std::vector<double> values; // row by row
    int rows() const { return columns ? static_cast<int>(values.size()) / columns : 0; }
    double at(int row, int col) const { return values[static_cast<std::size_t>(row * columns + col)]; }
};

// Reads a points file: one point per line, its numbers separated by
// whitespace or commas; '#' starts a comment; blank lines are skipped.  Every
// point has the same number of columns, 2 or 3.  A bad line is reported with
// its number and text.
PointTable read_points(const std::string &path);
// The same with min_columns to max_columns numbers per line.
PointTable read_table(const std::string &path, int min_columns, int max_columns);

// Whole contents of a file, or a ToolError naming the file and the reason.
std::string read_file(const std::string &path);

// Writes data to path through a temporary file in the same folder, renamed
// into place only when everything has been written: a failure never leaves a
// partial file behind.
void write_file_atomically(const std::string &path, const std::string &data);

// Lower-case extension of a path without the dot ("" when there is none).
std::string extension_of(const std::string &path);

// "x,y" / "x,y,z" / "WxH" style lists of numbers.
std::vector<double> parse_number_list(const std::string &text, char separator, std::size_t count,
                                      const std::string &what);

// A progress bar on standard error for work that takes more than a second;
// silent when standard error is not a terminal.
class Progress {
  public:
    Progress();
    // Shows stage at done/total (total 0: no bar, only the stage name).
    void update(const char *stage, std::size_t done, std::size_t total);
    // Clears the bar line if one was shown.
    void finish();
    double elapsed() const;

  private:
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_;
};

} // namespace quorm_tool

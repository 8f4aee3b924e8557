#include "io.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

namespace quorm_tool {

std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ToolError("cannot open '" + path + "': " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw ToolError("cannot read '" + path + "': " + std::strerror(errno));
    return text.str();
}

namespace {

std::string trimmed(const std::string &s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

// Splits a data line at whitespace and single commas into finite numbers;
// false for anything else (empty fields, words, NaN, infinities).
bool parse_row(const std::string &line, std::vector<double> &row) {
    row.clear();
    std::size_t i = 0;
    const std::size_t n = line.size();
    bool expect_number = true; // after a comma another number must follow
    while (i < n) {
        while (i < n && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i == n) break;
        if (line[i] == ',') {
            if (expect_number) return false;
            expect_number = true;
            ++i;
            continue;
        }
        const char *start = line.c_str() + i;
        char *end = nullptr;
        errno = 0;
        const double v = std::strtod(start, &end);
        if (end == start || !std::isfinite(v)) return false;
        std::size_t next = i + static_cast<std::size_t>(end - start);
        if (next < n && !std::isspace(static_cast<unsigned char>(line[next])) && line[next] != ',') return false;
        row.push_back(v);
        expect_number = false;
        i = next;
    }
    return !row.empty() && !expect_number;
}

} // namespace

PointTable read_points(const std::string &path) { return read_table(path, 2, 3); }

PointTable read_table(const std::string &path, int min_columns, int max_columns) {
    const std::string text = read_file(path);
    PointTable table;
    std::istringstream in(text);
    std::string raw;
    std::vector<double> row;
    int line_no = 0;
    while (std::getline(in, raw)) {
        ++line_no;
        std::string line = raw;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        if (trimmed(line).empty()) continue;
        const std::string shown = trimmed(raw);
        if (!parse_row(line, row))
            throw ToolError(path + ":" + std::to_string(line_no) + ": not a row of numbers: '" + shown + "'");
        const int cols = static_cast<int>(row.size());
        if (cols < min_columns || cols > max_columns)
            throw ToolError(path + ":" + std::to_string(line_no) + ": expected " + std::to_string(min_columns) +
                            (max_columns > min_columns ? " or " + std::to_string(max_columns) : std::string()) +
                            " numbers, found " +
                            std::to_string(cols) + ": '" + shown + "'");
        if (table.columns == 0) table.columns = cols;
        if (cols != table.columns)
            throw ToolError(path + ":" + std::to_string(line_no) + ": expected " + std::to_string(table.columns) +
                            " numbers like the lines before, found " + std::to_string(cols) + ": '" + shown + "'");
        table.values.insert(table.values.end(), row.begin(), row.end());
    }
    if (table.rows() == 0) throw ToolError(path + ": no points");
    return table;
}

void write_file_atomically(const std::string &path, const std::string &data) {
    std::string tmp = path + ".partial-XXXXXX";
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) throw ToolError("cannot write '" + path + "': " + std::strerror(errno));
    // mkstemp makes the file private; give it the usual permissions.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    std::size_t done = 0;
    bool ok = true;
    while (done < data.size()) {
        const ssize_t w = ::write(fd, data.data() + done, data.size() - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(w);
    }
    const int saved = errno;
    if (::close(fd) != 0 && ok) ok = false;
    if (ok && std::rename(name.data(), path.c_str()) != 0) ok = false;
    if (!ok) {
        const int err = saved ? saved : errno;
        std::remove(name.data());
        throw ToolError("cannot write '" + path + "': " + std::strerror(err));
    }
}

std::string extension_of(const std::string &path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

std::vector<double> parse_number_list(const std::string &text, char separator, std::size_t count,
                                      const std::string &what) {
    std::vector<double> out;
    std::string field;
    std::istringstream in(text);
    while (std::getline(in, field, separator)) {
        const std::string f = trimmed(field);
        char *end = nullptr;
        const double v = std::strtod(f.c_str(), &end);
        if (f.empty() || *end != '\0' || !std::isfinite(v)) throw ToolError(what + ": '" + text + "' is not valid");
        out.push_back(v);
    }
    if (out.size() != count) throw ToolError(what + ": '" + text + "' is not valid");
    return out;
}

Progress::Progress()
    : enabled_(isatty(STDERR_FILENO) != 0), start_(std::chrono::steady_clock::now()), last_(start_) {}

double Progress::elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void Progress::update(const char *stage, std::size_t done, std::size_t total) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < std::chrono::seconds(1)) return;
    if (shown_ && now - last_ < std::chrono::milliseconds(100) && done != total) return;
    last_ = now;
    shown_ = true;
    if (total == 0) {
        std::fprintf(stderr, "\r%-18s %-40s", stage, "...");
    } else {
        const double f = std::min(1.0, double(done) / double(total));
        char bar[41];
        const int filled = static_cast<int>(f * 40);
        for (int i = 0; i < 40; ++i) bar[i] = i < filled ? '#' : '-';
        bar[40] = '\0';
        std::fprintf(stderr, "\r%-18s %s %3d%%", stage, bar, static_cast<int>(f * 100));
    }
    std::fflush(stderr);
}

void Progress::finish() {
    if (!shown_) return;
    std::fprintf(stderr, "\r%-64s\r", "");
    std::fflush(stderr);
    shown_ = false;
}

} // namespace quorm_tool

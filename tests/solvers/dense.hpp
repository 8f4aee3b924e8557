// Dense test matrices in both storage forms, and the backward error of a
// computed solution.
#ifndef QUORM_TEST_SOLVERS_DENSE_HPP
#define QUORM_TEST_SOLVERS_DENSE_HPP

#include <quorm/quorm.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <random>
#include <vector>

namespace quorm_test {

// A rows x columns matrix stored flat, with row pointers over the data.
struct Dense {
    int rows = 0, columns = 0;
    std::vector<double> data;
    std::vector<double *> row_ptrs;

    Dense(int r, int c) : rows(r), columns(c), data(static_cast<size_t>(r) * c, 0.0) { link(); }
    Dense(int r, int c, std::initializer_list<double> values) : rows(r), columns(c), data(values) { link(); }
    Dense(const Dense &o) : rows(o.rows), columns(o.columns), data(o.data) { link(); }
    Dense &operator=(const Dense &o) {
        rows = o.rows;
        columns = o.columns;
        data = o.data;
        link();
        return *this;
    }

    double **ptr() { return row_ptrs.data(); }
    double *flat() { return data.data(); }
    double &at(int i, int j) { return data[static_cast<size_t>(i) * columns + j]; }
    double at(int i, int j) const { return data[static_cast<size_t>(i) * columns + j]; }

    static Dense identity(int n) {
        Dense m(n, n);
        for (int i = 0; i < n; ++i) m.at(i, i) = 1.0;
        return m;
    }
    // Entries uniform in [-1, 1]: well conditioned with high probability.
    static Dense random(int r, int c, std::mt19937 &rng) {
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        Dense m(r, c);
        for (double &v : m.data) v = u(rng);
        return m;
    }
    // A symmetric positive definite matrix: G.G^T + n.I.
    static Dense spd(int n, std::mt19937 &rng) {
        Dense g = random(n, n, rng), m(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                double s = i == j ? n : 0.0;
                for (int k = 0; k < n; ++k) s += g.at(i, k) * g.at(j, k);
                m.at(i, j) = s;
            }
        return m;
    }

  private:
    void link() {
        row_ptrs.resize(rows);
        for (int i = 0; i < rows; ++i) row_ptrs[i] = data.data() + static_cast<size_t>(i) * columns;
    }
};

// |A.x - b| / (|A|.|x|) in the max norms, for column c of x and b.
inline double backward_error(const Dense &a, const Dense &x, const Dense &b, int c) {
    double residual = 0.0, norm_a = 0.0, norm_x = 0.0;
    for (int i = 0; i < a.rows; ++i) {
        double s = -b.at(i, c), row = 0.0;
        for (int k = 0; k < a.columns; ++k) {
            s += a.at(i, k) * x.at(k, c);
            row += std::fabs(a.at(i, k));
        }
        residual = std::max(residual, std::fabs(s));
        norm_a = std::max(norm_a, row);
        norm_x = std::max(norm_x, std::fabs(x.at(i, c)));
    }
    return residual / (norm_a * norm_x);
}

} // namespace quorm_test

#endif

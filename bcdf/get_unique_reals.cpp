// Sorted reals: removing near-duplicates, the nearest value in a window, and
// an order-preserving matching of two ascending rows.
#include "foundation/quorm_internal.h"

#include <quorm/pntlst.h>

#include <cmath>

extern "C" {

QUORM_API void get_unique_reals(const double *values, int n, double **out, int *nout) {
    if (n <= 0) {
        *nout = 0;
        return;
    }
    double *kept = static_cast<double *>(SM_alloc(static_cast<std::size_t>(n) * sizeof(double)));
    int count = 0;
    kept[count++] = values[0];
    // Each value is compared with its predecessor in the input, so a slow
    // drift in steps of at most 1e-10 collapses onto its first value.
    for (int i = 1; i < n; ++i)
        if (std::fabs(values[i] - values[i - 1]) > 1e-10) kept[count++] = values[i];
    *out = kept;
    *nout = count;
}

QUORM_API int find_closest_reals(int n, const double *values, int first, int last, double x) {
    if (first < 0) first = 0;
    if (last > n - 1) last = n - 1;
    if (first > last) return -1;
    int best = first;
    double best_distance = std::fabs(values[first] - x);
    for (int i = first + 1; i <= last; ++i) {
        double d = std::fabs(values[i] - x);
        if (d < best_distance) {
            best_distance = d;
            best = i;
        }
    }
    return best;
}

QUORM_API int match_sorted_reals(int n1, const double *a, int n2, const double *b, int *match) {
    if (n2 <= 0) return 0;
    if (n1 < 0) n1 = 0;
    for (int i = 0; i < n2; ++i) match[i] = -1;
    if (n1 == n2) {
        for (int i = 0; i < n2; ++i) match[i] = i;
        return 0;
    }
    if (n2 > n1) {
        if (n1 == 0) return 1;
        int *reverse = static_cast<int *>(SM_alloc(static_cast<std::size_t>(n1) * sizeof(int)));
        int result = 1;
        quorm::run_or_clean_up(
            __FILE__, __LINE__, [&] { result = match_sorted_reals(n2, b, n1, a, reverse); }, [&] { SM_free(reverse); });
        if (result == 0)
            for (int i = 0; i < n1; ++i)
                if (reverse[i] >= 0) match[reverse[i]] = i;
        SM_free(reverse);
        return result;
    }

    // Match outwards from the middle so that each side keeps room for the
    // entries still to come.
    int slack = n1 - n2;
    int mid = (n2 - 1) / 2;
    for (int step = 0; step < n2; ++step) {
        int k = step <= mid ? mid - step : step;
        int first = k, last = slack + k;
        if (k < mid && match[k + 1] - 1 < last) last = match[k + 1] - 1;
        if (k > mid && match[k - 1] + 1 > first) first = match[k - 1] + 1;
        if (last < first) return 1;
        match[k] = find_closest_reals(n1, a, first, last, b[k]);
    }
    for (int i = 1; i < n2; ++i)
        if (match[i - 1] >= match[i]) {
            ERROR_internal(__FILE__, __LINE__, "match sorted reals are not in the right order");
            break;
        }
    return 0;
}

} // extern "C"

// Point lists: a growable array of points of one fixed dimension.
#include "foundation/quorm_internal.h"

#include <quorm/pntlst.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <functional>

static_assert(sizeof(PNTLST_s) == sizeof(double *) + 3 * sizeof(int) + (sizeof(double *) == 8 ? 4 : 0),
              "PNTLST_s layout");
static_assert(offsetof(PNTLST_s, points) == 0, "PNTLST_s layout");
static_assert(offsetof(PNTLST_s, num_points) == sizeof(double *), "PNTLST_s layout");
static_assert(offsetof(PNTLST_s, max_points) == sizeof(double *) + sizeof(int), "PNTLST_s layout");
static_assert(offsetof(PNTLST_s, dimension) == sizeof(double *) + 2 * sizeof(int), "PNTLST_s layout");

namespace {

// Bytes of count points of the given dimension (never negative).
std::size_t point_bytes(int count, int dimension) {
    if (count <= 0 || dimension <= 0) return 0;
    return static_cast<std::size_t>(count) * static_cast<std::size_t>(dimension) * sizeof(double);
}

// True when p points into the first count points of the list's array.
bool inside(const PNTLST_s *list, const double *p, int count) {
    if (!p || !list->points || count <= 0) return false;
    std::less_equal<const double *> le;
    std::less<const double *> lt;
    const double *begin = list->points;
    const double *end = list->points + static_cast<std::size_t>(count) * list->dimension;
    return le(begin, p) && lt(p, end);
}

// Gives the list room for capacity points.  An owned array is reallocated;
// an array the list does not own (max_points 0) is left to its owner and
// the points in use are copied into a fresh one.
void resize(PNTLST_s *list, int capacity) {
    if (capacity <= 0) {
        if (list->max_points != 0) SM_free(list->points);
        list->points = nullptr;
        list->max_points = 0;
        list->num_points = 0;
        return;
    }
    std::size_t bytes = point_bytes(capacity, list->dimension);
    if (list->max_points != 0) {
        list->points = static_cast<double *>(SM_realloc(list->points, bytes));
    } else {
        double *fresh = static_cast<double *>(SM_alloc(bytes));
        int keep = list->num_points < capacity ? list->num_points : capacity;
        if (keep > 0 && list->points) std::memcpy(fresh, list->points, point_bytes(keep, list->dimension));
        list->points = fresh;
    }
    list->max_points = capacity;
    // A list never claims more points than it has room for.
    if (list->num_points > capacity) list->num_points = capacity;
}

} // namespace

extern "C" {

QUORM_API PNTLST_s *PNTLST_allocate_struct(int dimension, int capacity) {
    if (capacity <= 0 || dimension <= 0) return nullptr;
    PNTLST_s *list = static_cast<PNTLST_s *>(SM_calloc(1, sizeof(PNTLST_s)));
    quorm::run_or_clean_up(
        __FILE__, __LINE__, [&] { list->points = static_cast<double *>(SM_alloc(point_bytes(capacity, dimension))); },
        [&] { SM_free(list); });
    list->num_points = 0;
    list->max_points = capacity;
    list->dimension = dimension;
    return list;
}

QUORM_API void PNTLST_allocate_points(PNTLST_s *list, int capacity) {
    if (!list) return;
    resize(list, capacity);
}

QUORM_API PNTLST_s *PNTLST_create_from_list_of_pts(double *coords, int count, int dimension) {
    PNTLST_s *list = static_cast<PNTLST_s *>(SM_alloc(sizeof(PNTLST_s)));
    if (count < 0) count = 0;
    list->points = coords;
    list->num_points = count;
    list->max_points = count;
    list->dimension = dimension;
    return list;
}

QUORM_API void PNTLST_free_structure(PNTLST_s *list) {
    if (!list) return;
    if (list->max_points != 0) SM_free(list->points);
    SM_free(list);
}

QUORM_API void PNTLST_free_all_but_points(PNTLST_s *list) { SM_free(list); }

QUORM_API PNTLST_s *PNTLST_copy_structure(const PNTLST_s *list) {
    if (!list) return nullptr;
    PNTLST_s *copy = static_cast<PNTLST_s *>(SM_calloc(1, sizeof(PNTLST_s)));
    int count = list->num_points > 0 ? list->num_points : 0;
    if (count > 0) {
        quorm::run_or_clean_up(
            __FILE__, __LINE__,
            [&] { copy->points = static_cast<double *>(SM_alloc(point_bytes(count, list->dimension))); },
            [&] { SM_free(copy); });
        std::memcpy(copy->points, list->points, point_bytes(count, list->dimension));
    }
    copy->num_points = count;
    copy->max_points = count;
    copy->dimension = list->dimension;
    return copy;
}

QUORM_API double *PNTLST_copy_points(const PNTLST_s *list, int *count, int *dimension) {
    int n = list && list->num_points > 0 ? list->num_points : 0;
    int dim = list ? list->dimension : 0;
    if (count) *count = n;
    if (dimension) *dimension = dim;
    if (!list) return nullptr;
    double *out = static_cast<double *>(SM_alloc(point_bytes(n, dim)));
    if (n > 0) std::memcpy(out, list->points, point_bytes(n, dim));
    return out;
}

QUORM_API void PNTLST_copy_single_point(const PNTLST_s *list, int position, double *out) {
    if (position < 0 || position >= list->num_points) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Invalid Point Position Given");
        return;
    }
    std::memcpy(out, list->points + static_cast<std::size_t>(position) * list->dimension,
                point_bytes(1, list->dimension));
}

QUORM_API void PNTLST_replace_points(PNTLST_s *list, int count, int position, const double *src) {
    if (count <= 0) return;
    if (position < 0 || count > list->num_points - position) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Too Many Points To Replace");
        return;
    }
    std::memmove(list->points + static_cast<std::size_t>(position) * list->dimension, src,
                 point_bytes(count, list->dimension));
}

QUORM_API void PNTLST_insert_points(PNTLST_s *list, int count, int position, const double *src) {
    if (count <= 0) return;
    if (position < 0 || position > list->num_points) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Invalid Point Position Given");
        return;
    }
    int dim = list->dimension;
    // Points taken from the list itself are saved before the array moves.
    double *saved = nullptr;
    if (inside(list, src, list->num_points)) {
        saved = static_cast<double *>(SM_alloc(point_bytes(count, dim)));
        std::memcpy(saved, src, point_bytes(count, dim));
        src = saved;
    }
    if (list->max_points < list->num_points + count)
        quorm::run_or_clean_up(
            __FILE__, __LINE__, [&] { resize(list, list->num_points + count + 2 * list->max_points); },
            [&] { SM_free(saved); });
    double *at = list->points + static_cast<std::size_t>(position) * dim;
    std::memmove(at + static_cast<std::size_t>(count) * dim, at, point_bytes(list->num_points - position, dim));
    std::memcpy(at, src, point_bytes(count, dim));
    list->num_points += count;
    SM_free(saved);
}

QUORM_API void PNTLST_concat_one_point(PNTLST_s *list, const double *pt) {
    int dim = list->dimension;
    if (list->num_points >= list->max_points) {
        // A point of the list itself (closing a row on its first point, say)
        // is found again in the moved array.
        std::ptrdiff_t offset = inside(list, pt, list->num_points) ? pt - list->points : -1;
        resize(list, list->num_points + 1);
        if (offset >= 0) pt = list->points + offset;
    }
    std::memmove(list->points + static_cast<std::size_t>(list->num_points) * dim, pt, point_bytes(1, dim));
    list->num_points += 1;
}

QUORM_API void PNTLST_remove_points(PNTLST_s *list, int position, int count) {
    if (!list || count <= 0) return;
    if (count > list->num_points) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Too Many Points To Remove");
        return;
    }
    if (count == list->num_points) {
        list->num_points = 0;
        return;
    }
    // A run reaching past the end would move memory outside the list.
    if (position < 0 || position > list->num_points - count) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Too Many Points To Remove");
        return;
    }
    int dim = list->dimension;
    double *at = list->points + static_cast<std::size_t>(position) * dim;
    std::memmove(at, at + static_cast<std::size_t>(count) * dim,
                 point_bytes(list->num_points - position - count, dim));
    list->num_points -= count;
}

QUORM_API double PNTLST_calc_point_distance(const PNTLST_s *list, int i, int j) {
    if (i < 0 || j < 0 || i >= list->num_points || j >= list->num_points) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_PNTLST_INVALID_POSITION, "Invalid Point Position Given");
        return 0.0;
    }
    int dim = list->dimension;
    const double *a = list->points + static_cast<std::size_t>(i) * dim;
    const double *b = list->points + static_cast<std::size_t>(j) * dim;
    double sum = 0.0;
    for (int k = 0; k < dim; ++k) sum += (a[k] - b[k]) * (a[k] - b[k]);
    return std::sqrt(sum);
}

QUORM_API void PNTLST_convert_4d_to_3d(PNTLST_s *list) {
    if (list->dimension == 3) return;
    if (list->dimension != 4) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Dimension Of The Input Points Is Not Valid");
        return;
    }
    double *p = list->points;
    for (int i = 0; i < list->num_points; ++i) {
        const double *h = p + 4 * static_cast<std::size_t>(i);
        double w = h[3];
        double x = h[0] / w, y = h[1] / w, z = h[2] / w;
        double *c = p + 3 * static_cast<std::size_t>(i);
        c[0] = x;
        c[1] = y;
        c[2] = z;
    }
    list->dimension = 3;
    // The capacity is counted in points: the same array holds 4/3 as many
    // 3-D points, but the count stays as it was so that the block is never
    // overrun.
}

QUORM_API PNTLST_s *PNTLST_get_from_func(int count, int dimension, void (*fill)(int, double *)) {
    PNTLST_s *list = PNTLST_allocate_struct(dimension, count);
    if (!list) return nullptr;
    std::memset(list->points, 0, point_bytes(count, dimension));
    list->num_points = count;
    // A failing fill leaves no list behind.
    if (fill) quorm::run_or_clean_up(__FILE__, __LINE__, [&] { fill(count, list->points); }, [&] { PNTLST_free_structure(list); });
    return list;
}

} // extern "C"

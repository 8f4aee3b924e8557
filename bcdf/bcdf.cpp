// The curve defining-data record: counts, accessors, copies, attaching,
// freeing and the move into persistent memory.
#include "foundation/quorm_internal.h"

#include <quorm/bcdf.h>

#include <cstddef>
#include <cstring>

#if QUORM_FULL_BUILD
static_assert(sizeof(void *) != 8 || (offsetof(BCDF_s, crvatr_deriv_pars) == 64 &&
                                      offsetof(BCDF_s, crvatr_deriv_types) == 88 &&
                                      offsetof(BCDF_s, ls_tolerance) == 96 && offsetof(BCDF_s, order) == 108 &&
                                      offsetof(BCDF_s, knot_sequence) == 120 &&
                                      offsetof(BCDF_s, ls_uniform_segments) == 136 &&
                                      offsetof(BCDF_s, algorithm_version) == 140 && sizeof(BCDF_s) == 144),
              "BCDF_s layout (full build)");
#else
static_assert(sizeof(void *) != 8 || (offsetof(BCDF_s, crvatr_pars) == 48 && offsetof(BCDF_s, crvatr_types) == 64 &&
                                      offsetof(BCDF_s, ls_tolerance) == 72 && offsetof(BCDF_s, order) == 84 &&
                                      offsetof(BCDF_s, knot_sequence) == 96 &&
                                      offsetof(BCDF_s, ls_uniform_segments) == 112 &&
                                      offsetof(BCDF_s, algorithm_version) == 116 && sizeof(BCDF_s) == 120),
              "BCDF_s layout (reduced build)");
#endif

namespace {

// The record's nine (full build) or seven (reduced build) lists, in order.
PNTLST_s *BCDF_s::*const record_lists[] = {&BCDF_s::points,      &BCDF_s::weights, &BCDF_s::params,
                                           &BCDF_s::slopes,      &BCDF_s::slope_pars, &BCDF_s::crvatrs,
                                           &BCDF_s::crvatr_pars,
#if QUORM_FULL_BUILD
                                           &BCDF_s::crvatr_derivs, &BCDF_s::crvatr_deriv_pars
#endif
};

inline int count_of(const PNTLST_s *list) { return list && list->num_points > 0 ? list->num_points : 0; }

// The record's own array of a list, with its count (and dimension).
double *list_array(PNTLST_s *list, int *count, int *dimension) {
    if (!list) {
        if (count) *count = 0;
        if (dimension) *dimension = 0;
        return nullptr;
    }
    if (count) *count = list->num_points;
    if (dimension) *dimension = list->dimension;
    return list->points;
}

// A new array with the list's coordinates; 0 and null without a list.
double *list_copy(const PNTLST_s *list, int *count, int *dimension) {
    if (!list) {
        if (count) *count = 0;
        if (dimension) *dimension = 0;
        return nullptr;
    }
    return PNTLST_copy_points(list, count, dimension);
}

// A new int array of count entries copied from types (zeros where the
// record holds none); a zero-length block when count is 0.
int *types_copy(const int *types, int count) {
    int *out = static_cast<int *>(SM_alloc(static_cast<std::size_t>(count) * sizeof(int)));
    if (count > 0) {
        if (types)
            std::memcpy(out, types, static_cast<std::size_t>(count) * sizeof(int));
        else
            std::memset(out, 0, static_cast<std::size_t>(count) * sizeof(int));
    }
    return out;
}

// A fresh copy of an optional type array (null stays null).
int *optional_types_copy(const int *types, int count) { return types ? types_copy(types, count) : nullptr; }

// The first three components of entry position of a vector list, and its
// type.
void copy_vector(const PNTLST_s *list, const int *types, int position, double out[3], int *type) {
    const double *v = list->points + static_cast<std::size_t>(position) * list->dimension;
    for (int k = 0; k < 3; ++k) out[k] = k < list->dimension ? v[k] : 0.0;
    if (type) *type = types ? types[position] : 0;
}

bool null_record(const BCDF_s *bcdf) {
    if (bcdf) return false;
    if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Defining Data Structure Is NULL");
    return true;
}

// Frees everything the record owns except the point list, and the record.
void free_record(BCDF_s *bcdf) {
    for (auto list : record_lists)
        if (list != &BCDF_s::points) PNTLST_free_structure(bcdf->*list);
    SM_free(bcdf->slope_types);
    SM_free(bcdf->crvatr_types);
#if QUORM_FULL_BUILD
    SM_free(bcdf->crvatr_deriv_types);
#endif
    SM_free(bcdf->constraint_types);
    SM_free(bcdf);
}

// The blocks of one move into persistent memory, so that a failure part way
// through releases the ones already made and leaves the transient record as
// it was.
struct PersistentBlocks {
    void *made[32];
    int count = 0;
    bool failed = false;
    std::size_t failed_length = 0;

    // A zero-filled persistent block with the allocated length of block and
    // all of its contents; null for null.
    void *copy(const void *block) {
        if (!block || failed) return nullptr;
        std::size_t length = SM_length(block);
        void *p = SM_calloc_persistent(1, length);
        if (!p) {
            failed = true;
            failed_length = length;
            return nullptr;
        }
        if (length > 0) std::memcpy(p, block, length);
        made[count++] = p;
        return p;
    }

    void release() {
        for (int i = 0; i < count; ++i) SM_free(made[i]);
        count = 0;
    }
};

} // namespace

extern "C" {

// ---- counts and scalars ---------------------------------------------------------

QUORM_API int BCDF_return_num_of_points(const BCDF_s *bcdf) { return bcdf ? count_of(bcdf->points) : 0; }

QUORM_API int BCDF_return_dimension(const BCDF_s *bcdf) {
    return bcdf && bcdf->points ? bcdf->points->dimension : 0;
}

QUORM_API int BCDF_return_num_of_slopes(const BCDF_s *bcdf) { return bcdf ? count_of(bcdf->slopes) : 0; }

QUORM_API int BCDF_return_num_of_crvatrs(const BCDF_s *bcdf) { return bcdf ? count_of(bcdf->crvatrs) : 0; }

#if QUORM_FULL_BUILD
QUORM_API int BCDF_return_num_of_crvatr_derivs(const BCDF_s *bcdf) {
    return bcdf ? count_of(bcdf->crvatr_derivs) : 0;
}
#endif

QUORM_API int BCDF_return_num_of_constraints(const BCDF_s *bcdf) {
    if (!bcdf) return 0;
    int n = count_of(bcdf->points) + count_of(bcdf->slopes) + count_of(bcdf->crvatrs);
#if QUORM_FULL_BUILD
    n += count_of(bcdf->crvatr_derivs);
#endif
    if (bcdf->periodicity == 1) n -= 1;
    return n;
}

QUORM_API int BCDF_return_order(const BCDF_s *bcdf) {
    if (null_record(bcdf)) return 0;
    return bcdf->order;
}

QUORM_API int BCDF_return_periodicity(const BCDF_s *bcdf) { return bcdf ? bcdf->periodicity : 0; }

QUORM_API double BCDF_return_ls_tolerance(const BCDF_s *bcdf) {
    if (null_record(bcdf)) return 0.0;
    if (!bcdf->weights && quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Weights List Has A NULL Value");
    return bcdf->ls_tolerance;
}

QUORM_API int BCDF_return_ls_num_of_segments(const BCDF_s *bcdf) {
    if (null_record(bcdf)) return 0;
    if (!bcdf->weights && quorm_checking()) ERROR_internal(__FILE__, __LINE__, "Weights List Has A NULL Value");
    return bcdf->ls_num_of_segments;
}

QUORM_API int BCDF_ask_algorithm_version(const BCDF_s *bcdf) { return bcdf->algorithm_version; }

QUORM_API void BCDF_set_algorithm_version(BCDF_s *bcdf, int version) { bcdf->algorithm_version = version; }

QUORM_API bool BCDF_ask_ls_uniform_segments(const BCDF_s *bcdf) { return bcdf->ls_uniform_segments; }

QUORM_API void BCDF_set_ls_uniform_segments(BCDF_s *bcdf, bool uniform) { bcdf->ls_uniform_segments = uniform; }

// ---- internal arrays -------------------------------------------------------------

QUORM_API double *BCDF_return_df_point_array(BCDF_s *bcdf, int *count, int *dimension) {
    return list_array(bcdf->points, count, dimension);
}

QUORM_API double *BCDF_return_param_array(BCDF_s *bcdf, int *count) {
    return list_array(bcdf->params, count, nullptr);
}

QUORM_API double *BCDF_return_slope_array(BCDF_s *bcdf, int *count, int *dimension) {
    return list_array(bcdf->slopes, count, dimension);
}

QUORM_API double *BCDF_return_slope_pars_array(BCDF_s *bcdf, int *count) {
    return list_array(bcdf->slope_pars, count, nullptr);
}

QUORM_API double *BCDF_return_crvatr_array(BCDF_s *bcdf, int *count, int *dimension) {
    return list_array(bcdf->crvatrs, count, dimension);
}

QUORM_API double *BCDF_return_crvatr_pars_array(BCDF_s *bcdf, int *count) {
    return list_array(bcdf->crvatr_pars, count, nullptr);
}

#if QUORM_FULL_BUILD
QUORM_API double *BCDF_return_crvatr_deriv_array(BCDF_s *bcdf, int *count, int *dimension) {
    return list_array(bcdf->crvatr_derivs, count, dimension);
}

QUORM_API double *BCDF_return_crvatr_deriv_pars_array(BCDF_s *bcdf, int *count) {
    return list_array(bcdf->crvatr_deriv_pars, count, nullptr);
}
#endif

QUORM_API double *BCDF_return_weight_array(BCDF_s *bcdf, int *count) {
    return list_array(bcdf->weights, count, nullptr);
}

QUORM_API int *BCDF_return_slope_type_array(BCDF_s *bcdf) { return bcdf->slope_types; }

QUORM_API int *BCDF_return_crvatr_type_array(BCDF_s *bcdf) { return bcdf->crvatr_types; }

#if QUORM_FULL_BUILD
QUORM_API int *BCDF_return_crvatr_deriv_type_array(BCDF_s *bcdf) { return bcdf->crvatr_deriv_types; }
#endif

QUORM_API double *BCDF_return_knot_sequence(BCDF_s *bcdf, int *count) {
    if (null_record(bcdf)) {
        if (count) *count = 0;
        return nullptr;
    }
    if (count) *count = bcdf->num_of_knots;
    return bcdf->knot_sequence;
}

QUORM_API int *BCDF_return_constraint_type_array(BCDF_s *bcdf, int *count) {
    if (count) *count = bcdf->constraint_types ? count_of(bcdf->points) : 0;
    return bcdf->constraint_types;
}

// ---- copies ------------------------------------------------------------------------

QUORM_API double *BCDF_copy_points(const BCDF_s *bcdf, int *count, int *dimension) {
    if (!bcdf->points && quorm_checking())
        ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_NO_POINTS, "Point Array Is NULL");
    return list_copy(bcdf->points, count, dimension);
}

QUORM_API double *BCDF_copy_parameters(const BCDF_s *bcdf, int *count) {
    if (!bcdf->params && quorm_checking())
        ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_NO_PARAMETERS, "Parameter Array Is NULL");
    return list_copy(bcdf->params, count, nullptr);
}

QUORM_API double *BCDF_copy_slopes(const BCDF_s *bcdf, int *count, int *dimension) {
    return list_copy(bcdf->slopes, count, dimension);
}

QUORM_API double *BCDF_copy_slope_pars(const BCDF_s *bcdf, int *count) {
    return list_copy(bcdf->slope_pars, count, nullptr);
}

QUORM_API int *BCDF_copy_slope_type_array(const BCDF_s *bcdf) {
    return types_copy(bcdf->slope_types, count_of(bcdf->slopes));
}

QUORM_API int *BCDF_copy_crvatr_type_array(const BCDF_s *bcdf) {
    return types_copy(bcdf->crvatr_types, count_of(bcdf->crvatrs));
}

#if QUORM_FULL_BUILD
QUORM_API int *BCDF_copy_crvatr_deriv_type_array(const BCDF_s *bcdf) {
    return types_copy(bcdf->crvatr_deriv_types, count_of(bcdf->crvatr_derivs));
}
#endif

QUORM_API int *BCDF_copy_constraint_type_array(const BCDF_s *bcdf, int *count) {
    if (!bcdf->constraint_types) {
        if (count) *count = 0;
        return nullptr;
    }
    int n = count_of(bcdf->points);
    if (count) *count = n;
    return types_copy(bcdf->constraint_types, n);
}

// ---- single entries ------------------------------------------------------------------

QUORM_API void BCDF_copy_single_3d_point(const BCDF_s *bcdf, int position, double out[3]) {
    const PNTLST_s *points = bcdf->points;
    if (!points) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_NO_POINTS,
                        "No Points Allocated In Defining Data Structure.");
        return;
    }
    if (position < 0 || position >= points->num_points) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_POSITION_TOO_LARGE,
                        "Point Position Too Large For Point Array.");
        return;
    }
    if (points->dimension != 3 && points->dimension != 4) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_BAD_DIMENSION, "Point Dimension Is Not 3 Or 4.");
        return;
    }
    const double *p = points->points + static_cast<std::size_t>(position) * points->dimension;
    if (points->dimension == 3) {
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
    } else {
        out[0] = p[0] / p[3];
        out[1] = p[1] / p[3];
        out[2] = p[2] / p[3];
    }
}

QUORM_API void BCDF_copy_single_3d_slope(const BCDF_s *bcdf, int position, double out[3], int *type) {
    if (!bcdf->slopes) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_NO_SLOPES, "No Slope Allocated In Defining Data Structure.");
        return;
    }
    if (position < 0 || position >= count_of(bcdf->slopes)) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_INVALID_POSITION,
                        "An Invalid Slope Position Was Given By Calling Routine");
        return;
    }
    copy_vector(bcdf->slopes, bcdf->slope_types, position, out, type);
}

QUORM_API void BCDF_copy_single_3d_crvatr(const BCDF_s *bcdf, int position, double out[3], int *type) {
    if (position < 0 || position >= count_of(bcdf->crvatrs)) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_INVALID_POSITION,
                        "An Invalid Curvature Position Was Given By Calling Routine");
        return;
    }
    copy_vector(bcdf->crvatrs, bcdf->crvatr_types, position, out, type);
}

#if QUORM_FULL_BUILD
QUORM_API void BCDF_copy_single_3d_crvatr_deriv(const BCDF_s *bcdf, int position, double out[3], int *type) {
    if (position < 0 || position >= count_of(bcdf->crvatr_derivs)) {
        if (quorm_checking())
            ERROR_raise(__FILE__, __LINE__, QUORM_ERR_BCDF_INVALID_POSITION,
                        "An Invalid Curvature Derivative Position Was Given By Calling Routine");
        return;
    }
    copy_vector(bcdf->crvatr_derivs, bcdf->crvatr_deriv_types, position, out, type);
}
#endif

// ---- attaching -------------------------------------------------------------------------

QUORM_API void BCDF_add_constraint_type_array(BCDF_s *bcdf, int *types) {
    if (bcdf->constraint_types != types) SM_free(bcdf->constraint_types);
    bcdf->constraint_types = types;
}

QUORM_API void BCDF_attach_knot_sequence(BCDF_s *bcdf, int count, double *knots) {
    bcdf->num_of_knots = count;
    bcdf->knot_sequence = knots;
}

QUORM_API void BCDF_detach_knot_sequence(BCDF_s *bcdf) {
    bcdf->num_of_knots = 0;
    bcdf->knot_sequence = nullptr;
}

// ---- lifetime ------------------------------------------------------------------------------

QUORM_API BCDF_s *BCDF_copy_structure(const BCDF_s *bcdf) {
    if (!bcdf) return nullptr;
    BCDF_s *copy = static_cast<BCDF_s *>(SM_calloc(1, sizeof(BCDF_s)));
    // Running out of memory part way frees the part already copied.
    quorm::run_or_clean_up(
        __FILE__, __LINE__,
        [&] {
            for (auto list : record_lists) copy->*list = PNTLST_copy_structure(bcdf->*list);
            copy->slope_types = optional_types_copy(bcdf->slope_types, count_of(bcdf->slopes));
            copy->crvatr_types = optional_types_copy(bcdf->crvatr_types, count_of(bcdf->crvatrs));
#if QUORM_FULL_BUILD
            copy->crvatr_deriv_types = optional_types_copy(bcdf->crvatr_deriv_types, count_of(bcdf->crvatr_derivs));
#endif
            copy->constraint_types = optional_types_copy(bcdf->constraint_types, count_of(bcdf->points));
        },
        [&] { BCDF_free_structure(copy); });
    copy->ls_tolerance = bcdf->ls_tolerance;
    copy->ls_num_of_segments = bcdf->ls_num_of_segments;
    copy->order = bcdf->order;
    copy->periodicity = bcdf->periodicity;
    copy->algorithm_version = bcdf->algorithm_version;
    copy->ls_uniform_segments = bcdf->ls_uniform_segments;
    // The knot sequence is the caller's: the copy starts without one.
    copy->num_of_knots = 0;
    copy->knot_sequence = nullptr;
    return copy;
}

QUORM_API void BCDF_free_structure(BCDF_s *bcdf) {
    if (!bcdf) return;
    PNTLST_free_structure(bcdf->points);
    free_record(bcdf);
}

QUORM_API void BCDF_free_all_but_points(BCDF_s *bcdf) {
    if (!bcdf) return;
    PNTLST_free_all_but_points(bcdf->points);
    free_record(bcdf);
}

QUORM_API BCDF_s *BCDF_make_bcdf_data_persistent(BCDF_s *bcdf) {
    if (!bcdf) return nullptr;
    PersistentBlocks blocks;
    BCDF_s *copy = static_cast<BCDF_s *>(blocks.copy(bcdf));
    if (copy) {
        for (auto list : record_lists) copy->*list = static_cast<PNTLST_s *>(blocks.copy(bcdf->*list));
        copy->slope_types = static_cast<int *>(blocks.copy(bcdf->slope_types));
        copy->crvatr_types = static_cast<int *>(blocks.copy(bcdf->crvatr_types));
#if QUORM_FULL_BUILD
        copy->crvatr_deriv_types = static_cast<int *>(blocks.copy(bcdf->crvatr_deriv_types));
#endif
        copy->constraint_types = static_cast<int *>(blocks.copy(bcdf->constraint_types));
        // Then the coordinate arrays; one the list does not own stays with
        // its owner.
        for (auto list : record_lists)
            if (copy->*list && (copy->*list)->max_points != 0)
                (copy->*list)->points = static_cast<double *>(blocks.copy((bcdf->*list)->points));
    }
    if (blocks.failed) {
        // Nothing half-moved survives: the caller keeps the transient record,
        // which is returned unchanged if the report returns.
        blocks.release();
        ERROR_internal(__FILE__, __LINE__, "Failed to allocate permanent memory for transient conversion of %d bytes",
                       static_cast<int>(blocks.failed_length));
        return bcdf;
    }
    BCDF_free_structure(bcdf);
    return copy;
}

} // extern "C"

// Indexed point lists: counted arrays of 3-D and 4-D points, each with a tag
// slot that belongs to the caller.
#include "foundation/quorm_internal.h"

#include <quorm/pntlst.h>

#include <cstddef>

static_assert(sizeof(IPNT3_s) == 32 && offsetof(IPNT3_s, tag) == 24, "IPNT3_s layout");
static_assert(sizeof(IPNT4_s) == 40 && offsetof(IPNT4_s, tag) == 32, "IPNT4_s layout");
static_assert(offsetof(IPNT3_LST_s, num_pnts) == sizeof(void *), "IPNT3_LST_s layout");
static_assert(offsetof(IPNT4_LST_s, num_pnts) == sizeof(void *), "IPNT4_LST_s layout");

namespace {

// Both list kinds share these; Element is IPNT3_s or IPNT4_s.
template <typename List, typename Element>
void alloc_list(List *list, int n, const char *message) {
    if (n < 0) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "%s", message);
        return;
    }
    list->pnts = static_cast<Element *>(SM_alloc(static_cast<std::size_t>(n) * sizeof(Element)));
    list->num_pnts = n;
}

template <typename List, typename Element>
void realloc_list(List *list, int n, const char *message) {
    if (n < 0) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "%s", message);
        return;
    }
    list->pnts = static_cast<Element *>(SM_realloc(list->pnts, static_cast<std::size_t>(n) * sizeof(Element)));
    list->num_pnts = n;
}

template <typename List>
void free_list(List *list, const char *message) {
    if (list->num_pnts < 0) {
        // Already freed: the pointer is null, so nothing is released twice.
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "%s", message);
        return;
    }
    SM_free(list->pnts);
    list->pnts = nullptr;
    list->num_pnts = -1;
}

} // namespace

extern "C" {

QUORM_API void IPNT3_LST_alloc(IPNT3_LST_s *list, int n) { alloc_list<IPNT3_LST_s, IPNT3_s>(list, n, "IPNT3_LST_alloc error"); }

QUORM_API void IPNT4_LST_alloc(IPNT4_LST_s *list, int n) { alloc_list<IPNT4_LST_s, IPNT4_s>(list, n, "IPNT4_LST_alloc error"); }

QUORM_API void IPNT3_LST_realloc(IPNT3_LST_s *list, int n) {
    realloc_list<IPNT3_LST_s, IPNT3_s>(list, n, "IPNT3_LST_alloc error");
}

QUORM_API void IPNT4_LST_realloc(IPNT4_LST_s *list, int n) {
    realloc_list<IPNT4_LST_s, IPNT4_s>(list, n, "IPNT4_LST_alloc error");
}

QUORM_API void IPNT3_LST_free(IPNT3_LST_s *list) { free_list(list, "IPNT3_LST_free error"); }

QUORM_API void IPNT4_LST_free(IPNT4_LST_s *list) { free_list(list, "IPNT4_LST_free error"); }

QUORM_API void IPNT3_LST_copy(const IPNT3_LST_s *src, IPNT3_LST_s *dst) {
    if (src->num_pnts < 0) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "IPNT3_LST_copy error");
        return;
    }
    if (src == dst) return;
    // A freed destination (count -1) holds a null array and starts afresh.
    if (dst->num_pnts < 0) dst->pnts = nullptr;
    realloc_list<IPNT3_LST_s, IPNT3_s>(dst, src->num_pnts, "IPNT3_LST_alloc error");
    for (int i = 0; i < src->num_pnts; ++i) {
        dst->pnts[i].x = src->pnts[i].x;
        dst->pnts[i].y = src->pnts[i].y;
        dst->pnts[i].z = src->pnts[i].z;
    }
}

QUORM_API void IPNT3_LST_xtract_pnts(const IPNT3_LST_s *list, double (*out)[3]) {
    if (list->num_pnts < 0) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "IPNT3_LST_xtract_pnts error");
        return;
    }
    for (int i = 0; i < list->num_pnts; ++i) {
        out[i][0] = list->pnts[i].x;
        out[i][1] = list->pnts[i].y;
        out[i][2] = list->pnts[i].z;
    }
}

QUORM_API void IPNT4_LST_xtract_pnts(const IPNT4_LST_s *list, double (*out)[4]) {
    if (list->num_pnts < 0) {
        if (quorm_checking()) ERROR_internal(__FILE__, __LINE__, "IPNT4_LST_xtract_pnts error");
        return;
    }
    for (int i = 0; i < list->num_pnts; ++i) {
        out[i][0] = list->pnts[i].x;
        out[i][1] = list->pnts[i].y;
        out[i][2] = list->pnts[i].z;
        out[i][3] = list->pnts[i].w;
    }
}

} // extern "C"

// Array routines: movf and the last-in-first-out work stack of wf256/wf266.
#include <corvex/corvex.h>

#include <cstring>
#include <vector>

namespace {

std::vector<std::vector<double>> &work_stack() {
    static std::vector<std::vector<double>> stack;
    return stack;
}

} // namespace

extern "C" {

CORVEX_API void movf(const int *n, const double *from, double *to) {
    if (!n || *n <= 0 || from == to) return;
    std::memmove(to, from, static_cast<size_t>(*n) * sizeof(double));
}

CORVEX_API void wf256(const int *n, const double *x) {
    int count = (n && *n > 0) ? *n : 0;
    work_stack().emplace_back(x, x + count);
}

CORVEX_API void wf266(const int *n, double *x) {
    std::vector<std::vector<double>> &stack = work_stack();
    if (stack.empty()) {
        ERROR_internal(__FILE__, __LINE__, "wf266: the work stack is empty");
        return;
    }
    int count = (n && *n > 0) ? *n : 0;
    std::vector<double> block = std::move(stack.back());
    stack.pop_back();
    if (static_cast<size_t>(count) != block.size()) {
        ERROR_internal(__FILE__, __LINE__, "wf266: %d doubles asked back, %d saved", count,
                       static_cast<int>(block.size()));
        if (static_cast<size_t>(count) > block.size()) count = static_cast<int>(block.size());
    }
    if (count > 0) std::memcpy(x, block.data(), static_cast<size_t>(count) * sizeof(double));
}

CORVEX_API int CORVEX_work_stack_depth(void) { return static_cast<int>(work_stack().size()); }

} // extern "C"

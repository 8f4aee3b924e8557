// Callback lists keyed by system reason number.
#include <corvex/corvex.h>

#include <algorithm>
#include <map>
#include <vector>

namespace {

std::map<int, std::vector<CALLBACK_fn_t>> &registry() {
    static std::map<int, std::vector<CALLBACK_fn_t>> lists;
    return lists;
}

} // namespace

extern "C" {

CORVEX_API int CALLBACK_register(int reason, CALLBACK_fn_t fn) {
    if (!fn) return 0;
    std::vector<CALLBACK_fn_t> &list = registry()[reason];
    if (std::find(list.begin(), list.end(), fn) != list.end()) return 0;
    list.push_back(fn);
    return 1;
}

CORVEX_API int CALLBACK_unregister(int reason, CALLBACK_fn_t fn) {
    auto it = registry().find(reason);
    if (it == registry().end()) return 0;
    auto pos = std::find(it->second.begin(), it->second.end(), fn);
    if (pos == it->second.end()) return 0;
    it->second.erase(pos);
    return 1;
}

CORVEX_API void CALLBACK_call_list(int reason, void *data) {
    auto it = registry().find(reason);
    if (it == registry().end()) return;
    // A callback may register or unregister others: call a snapshot.
    std::vector<CALLBACK_fn_t> snapshot = it->second;
    for (CALLBACK_fn_t fn : snapshot) fn(reason, data);
}

CORVEX_API int ZEV_REASON_ask_reason_number(int local_reason) { return CORVEX_REASON_BASE + local_reason; }

} // extern "C"

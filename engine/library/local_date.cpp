#include "local_date.h"

#include <ctime>

namespace vetra {

int32_t localDateCcyymmdd() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

} // namespace vetra

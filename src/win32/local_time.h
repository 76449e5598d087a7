// The PC's local time as the core counts it.
#pragma once

#include <windows.h>

#include "text/datetime.h"

namespace rm::win {

inline DateTime LocalNow() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return EncodeDateTime({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds});
}

}  // namespace rm::win

// The record times offered by the "Record Item" dialog, in seconds, in list
// order. The dialog exposes this very table as DlgRecord::iTimes.
#pragma once

inline constexpr int kRecordTimeCount = 7;
inline constexpr int kRecordTimes[kRecordTimeCount] = {2, 5, 10, 20, 30, 60, 300};

// Index of the shortest record time of at least seconds; the last index when
// none is long enough.
constexpr int RecordTimeIndexFor(double seconds) {
    for (int i = 0; i < kRecordTimeCount; ++i)
        if (double(kRecordTimes[i]) >= seconds) return i;
    return kRecordTimeCount - 1;
}

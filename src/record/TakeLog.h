// What a session that keeps its takes writes beside each saved item: the whole
// take, unmarked, as FOLDER/takes/ITEM, and one row per save in
// FOLDER/session.csv (RFC 4180: comma separated, CRLF line ends, a field with
// a comma, quote or line break quoted, quotes doubled). Both are written
// through the same safe replace as the item: complete or not at all, an
// earlier file of the name untouched by a failure.
#pragma once
#include "platform/MMSystem.h"
#include <ctime>
#include <string>

struct TAKE_ROW {
    std::string strItem; // the item's name as listed
    std::string strFile; // the saved item, relative to the folder
    std::string strTake; // the whole take, relative to the folder
    int nRate = 0, nBits = 0;
    double fStart = 0.0, fEnd = 0.0; // the markers, seconds within the take
    double fDuration = 0.0;          // of the saved part, seconds
    double fPeakDb = 0.0;            // of the saved part, dBFS
    bool bClipped = false;           // a saved sample at full scale
    std::time_t tWhen = 0;
};

class TAKE_LOG {
  public:
    static constexpr const char* kTakes = "takes/";
    static constexpr const char* kManifest = "session.csv";
    static constexpr const char* kHeader =
        "item,file,take,rate,bits,start_s,end_s,duration_s,peak_dbfs,clipped,time";

    // Writes nBytes of the take as folder + kTakes + item, making the folders
    // on the way. 0 when it is in place, else an errno value.
    static int SaveTake(const std::string& folder, const std::string& item, const WAVEFORMATEX& fmt,
                        const void* data, long nBytes);
    // Adds row to folder's manifest (the header first when it is new) by
    // rewriting it whole. 0 when it is in place, else an errno value.
    static int AppendRow(const std::string& folder, const TAKE_ROW& row);

    // The row as one CSV record, without the line end.
    static std::string FormatRow(const TAKE_ROW& row);
    // One field as RFC 4180 writes it.
    static std::string CsvField(const std::string& s);
    // Local time as ISO 8601 with its offset, e.g. 2026-12-07T18:55:01+01:00.
    static std::string IsoTime(std::time_t t);
};

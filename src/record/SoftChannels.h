// The owning list of one recording's channels. Channels are found by their
// number (0 ... 254) through a 256-entry table of array positions; 255 in the
// table means "no channel". When two channels share a number, the later one is
// found.
#pragma once
#include "platform/Export.h"
#include "platform/ObArray.h"

#include <array>
#include <cstdint>

class SOFTCHAN;

class VOK_API SOFTCHANNELS : public CObArray {
  public:
    static constexpr int kMaxChannels = 255;
    static constexpr uint8_t kNone = 255;

    SOFTCHANNELS();
    ~SOFTCHANNELS() override;

    // Takes ownership of ch (even when 0 is returned) and appends it after
    // resolving its source channel and letting it take its shape from it.
    // 1 when ch is now found under its own number. A null ch is ignored (0).
    int AddChan(SOFTCHAN* ch);
    // Null for numbers outside 0 ... 254 or without a channel; the list keeps ownership.
    SOFTCHAN* GetChan(int number) const;
    // Channel at array position i (insertion order); null outside the array.
    SOFTCHAN* GetChanAt(int i) const;
    // Lowest unused number other than except; -1 when all are in use.
    int GetFreeChan(int except = -1) const;
    // Deletes every channel, last first, then clears the table.
    void DeleteAll();
    // Recomputes the table from the array.
    void RebuildIndex();

  private:
    std::array<uint8_t, 256> m_index;
};

#include "record/SoftChannels.h"

#include "channels/SoftChan.h"

SOFTCHANNELS::SOFTCHANNELS() {
    m_index.fill(kNone);
}

SOFTCHANNELS::~SOFTCHANNELS() {
    DeleteAll();
}

int SOFTCHANNELS::AddChan(SOFTCHAN* ch) {
    if (!ch) return 0;
    // A derived channel is bound to its source once, here; it must come after it.
    ch->pSrc = ch->nSrcChan >= 0 ? GetChan(ch->nSrcChan) : nullptr;
    ch->OnAddToList();
    Add(ch);
    RebuildIndex();
    return GetChan(ch->nChan) == ch ? 1 : 0;
}

SOFTCHAN* SOFTCHANNELS::GetChan(int number) const {
    if (number < 0 || number >= kMaxChannels) return nullptr;
    uint8_t pos = m_index[std::size_t(number)];
    if (pos == kNone) return nullptr;
    return GetChanAt(pos);
}

SOFTCHAN* SOFTCHANNELS::GetChanAt(int i) const {
    if (i < 0 || i >= GetSize()) return nullptr;
    return static_cast<SOFTCHAN*>(GetAt(i));
}

int SOFTCHANNELS::GetFreeChan(int except) const {
    for (int n = 0; n < kMaxChannels; ++n)
        if (n != except && m_index[std::size_t(n)] == kNone) return n;
    return -1;
}

void SOFTCHANNELS::DeleteAll() {
    for (int i = GetSize() - 1; i >= 0; --i)
        delete GetAt(i);
    RemoveAll();
    RebuildIndex();
}

void SOFTCHANNELS::RebuildIndex() {
    m_index.fill(kNone);
    // Positions are held in a byte with 255 meaning none, so only the first 255
    // elements can be found; a number outside 0 ... 254 is never entered (it
    // would fall outside the table or collide with the "none" mark).
    int n = GetSize() < kMaxChannels ? GetSize() : kMaxChannels;
    for (int i = 0; i < n; ++i) {
        const SOFTCHAN* ch = GetChanAt(i);
        int num = ch ? ch->nChan : -1;
        if (num >= 0 && num < kMaxChannels) m_index[std::size_t(num)] = uint8_t(i);
    }
}

// Finds the spoken part of a recording in its level curve: the loudest moment
// after the first quarter second, extended both ways while the curve stays at or
// above 15 % of that peak, then widened by 0.1 s on each side.
#pragma once
#include "support/Range.h"

class SOFTCHAN;
class SOFTCHANNELS;

// Writes range first (start 0.25 s, end at the curve's last element) so that the
// caller always has usable markers, then 1 with range = the speech, or 0 when no
// speech was found and the defaults stand.
int LocateSpeech(SOFTCHAN& curve, CRngFlt& range);
// The same on channel chan of the list. A missing channel gives 0 with the range
// (0.25, 0.25).
int LocateSpeech(const SOFTCHANNELS& channels, int chan, CRngFlt& range);

// A speech locator that keeps the weak edges of words: it measures the noise
// floor of the recording itself and takes as speech whatever stands clearly
// above it, instead of a share of the loudest moment.
//
// On frames of 0.01 s read from the level curve:
//   1. the unrecorded tail (a run of identical values at the end, as left by a
//      recording stopped before its channel was full) is not searched;
//   2. the floor is the level of the quietest frames (those no louder than
//      the quietest 0.1 s): their mean and spread (a thousandth of the peak
//      when a frame is silent to the bit);
//   3. speech frames stand clearly above the floor (8 spreads, and at least
//      40 %); runs of them closer than 0.2 s are joined (stop closures,
//      short pauses, a short final consonant after a pause);
//   4. runs at either end that stand out of the floor for at most 0.05 s
//      with their fringe (key clicks, pops) are dropped, and the edges are
//      not followed into them;
//   5. the floor is measured again on the frames up to 0.2 s after the loud
//      part of the speech (at least 20 % of its peak), and steps 3 and 4
//      repeated with it, so that nothing later (a key click after the word)
//      changes the floor the edges are drawn from; the whole recording's
//      floor stays when those frames hold fewer than 10 quiet ones or read
//      more than 2 spreads louder (speech from 0 s whose weak end fills them);
//   6. the first and last run are followed outward, across gaps under
//      0.15 s, while a frame and the 5 frames around it differ from the floor
//      by more than 2 spreads on average: averaging finds a faint, long word
//      end under the noise of single frames, and "differ" counts a level
//      under the floor too (speech that cancels part of a DC level left in
//      the recording);
//   7. a quieter word up to 0.7 s beyond either edge (one that never reaches
//      the speech level) is joined when more than 5 consecutive frames each
//      stand above the floor by more than 2 spreads, longer than a burst can,
//      and is followed outward as in step 6; single frames are judged, since
//      averaging smears a short loud click over enough frames to pass;
//   8. past the end so found, a long faint final consonant (a hiss after a
//      stop closure in heavy noise) is kept: the end moves to the centre of
//      the last window of 9 frames whose mean stands above the floor by more
//      than 4 spreads of such means, in the first stretch of such windows
//      centred within 0.15 s of it. That spread is measured on windows of 9
//      floor frames (at least 20 of them, else the step is skipped) and taken
//      as at least a third of the single frames' spread;
//   9. the result is widened by 0.12 s on each side.
// Speech may start at 0 s; nothing is left unsearched at the start.
#pragma once
#include "support/Range.h"

class SOFTCHAN;
class SOFTCHANNELS;

// As LocateSpeech: writes range first (start 0.25 s, end at the curve's last
// element), then 1 with range = the speech, or 0 when nothing stands above the
// floor and the defaults stand. recordedSeconds, when not negative, is how
// much of the channel was recorded: the curve after it is not searched, in
// place of step 1 (which cannot tell an unrecorded rest read as 0 from
// recorded digital silence).
int LocateSpeechRefined(SOFTCHAN& curve, CRngFlt& range, float recordedSeconds = -1.0f);
// The same on channel chan of the list; a missing channel gives 0 with the
// range (0.25, 0.25).
int LocateSpeechRefined(const SOFTCHANNELS& channels, int chan, CRngFlt& range);

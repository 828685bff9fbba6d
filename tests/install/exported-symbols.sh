#!/usr/bin/env bash
# Lists the dynamic symbols of the shared library and checks that the exported
# classes and static data hosts use are there, and that the library's inner
# parts are not.
#   tests/install/exported-symbols.sh path/to/libvokdll.so
set -euo pipefail
lib=$1
syms=$(nm -D --defined-only -C "$lib" | cut -d' ' -f3-)
fail=0
need() { # what (a symbol name, matched as a prefix of a line)
    grep -qxF -- "$1" <<<"$syms" || grep -qF -- "$1(" <<<"$syms" || grep -qF -- "$1[abi:" <<<"$syms" || {
        echo "missing: $1"
        fail=1
    }
}
# Polymorphic classes: type information and virtual table.
for c in DlgRecord CButtons WaveInButtons RecorderButtons SOFTCHAN_WAVE8 SOFTCHAN_LE \
    CGraphWnd CCounterWnd CWnd CDialog SOFTCHAN SOFTCHAN_AD CObject; do
    need "typeinfo for $c"
    need "vtable for $c"
done
# Constructors and the operations hosts call.
for s in DlgRecord::DlgRecord CDialog::DoModal RecorderButtons::Create WaveInButtons::Start \
    WaveInButtons::Cancel CButtons::Create WAVWriter::Save SOFTCHAN_WAVE8::SOFTCHAN_WAVE8 \
    SOFTCHAN_LE::SOFTCHAN_LE AXIS::CalcBestTicks X_AXIS::X_AXIS X_AXIS::DrawAxis Y_AXIS::Y_AXIS Y_AXIS::DrawAxis GRAPH::Attach GRAPH::DrawCurves \
    CGraphWnd::CGraphWnd CCounterWnd::CCounterWnd SOFTCHANNELS::AddChan AnalyseRecording \
    RecordingChannelInfo WAVReader::Load ItemList::ReadFile waveInGetNumDevs CWinApp::CWinApp \
    CWinApp::Run SetMessageBoxSink GetVersionString SetVersionTexts; do
    need "$s"
done
# Static data.
for s in DlgRecord::iTimes DlgRecord::m_bShuttingDown GRAPH::colors CCounterWnd::m_cFont \
    CCounterWnd::m_bFontCreated; do
    need "$s"
done
# Inner parts stay hidden.
hidden=$(grep -E '^(typeinfo for |vtable for )?(VokWndWidget|VokDialogWidget|DlgSaving|CWaveInAudioWnd|PostQueue)\b' <<<"$syms" || true)
if [ -n "$hidden" ]; then
    echo "exported but internal:"
    echo "$hidden"
    fail=1
fi
[ $fail = 0 ] && echo "$(wc -l <<<"$syms") dynamic symbols; every required one is exported"
exit $fail

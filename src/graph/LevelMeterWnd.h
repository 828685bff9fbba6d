// Small child window showing a level in dB relative to full scale: the peak
// and the RMS, each as a line of text over a bar from -60 dB to 0 dB, with a
// tick at the held peak on the peak bar. Bars are green, yellow
// from -6 dB and red from -1 dB.
//
// Once created, the window deletes itself when it is destroyed (directly or
// with its parent): the owner must not delete it then.
#pragma once
#include "platform/Wnd.h"
#include <string>

class CDialog;

class CLevelMeterWnd : public CWnd {
  public:
    static constexpr double kFloorDb = -60.0;

    bool Create(const CRect& rect, CDialog* parent, unsigned id);
    // The values shown; repaints.
    void SetLevel(double peakDb, double rmsDb, double holdDb);
    // No level: empty bars and no text.
    void Clear();
    // The values shown ("Peak -6.0 dB, RMS -9.0 dB"); empty when cleared.
    std::string GetDisplayText() const;

  protected:
    void OnPaint(CDC* pDC) override;
    void PostNcDestroy() override { delete this; }

  private:
    // Pixels of a bar width w that a level fills.
    static int BarLength(double db, int w);
    void DrawBar(CDC* pDC, const CRect& r, double db) const;

    bool m_bLevel = false;
    double m_fPeakDb = kFloorDb, m_fRmsDb = kFloorDb, m_fHoldDb = kFloorDb;
};

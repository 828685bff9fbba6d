// Drawing objects a CDC selects: pens, brushes, fonts and polygon regions.
// Stock objects are shared and never deleted.
#pragma once
#include "platform/Export.h"
#include "platform/WinTypes.h"
#include <memory>
#include <string>

class QFont;
class QPainterPath;

enum : int { PS_SOLID = 0, PS_NULL = 5 };
enum : int { BS_SOLID = 0, BS_NULL = 1 };
enum : int { ALTERNATE = 1, WINDING = 2 };
enum : int { WHITE_BRUSH = 0, BLACK_BRUSH = 4, NULL_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7,
             NULL_PEN = 8, SYSTEM_FONT = 13 };
enum : int { FW_EXTRALIGHT = 200, FW_NORMAL = 400, FW_BOLD = 700 };

class VOK_API CGdiObject {
  public:
    enum Kind { Pen, Brush, Font, Region };
    explicit CGdiObject(Kind k) : m_kind(k) {}
    virtual ~CGdiObject() = default;
    Kind kind() const { return m_kind; }
    // False until a Create call succeeded (stock objects are always valid).
    bool IsValid() const { return m_bValid; }
    void DeleteObject() { m_bValid = false; }

  protected:
    Kind m_kind;
    bool m_bValid = false;
};

class VOK_API CPen : public CGdiObject {
  public:
    CPen() : CGdiObject(Pen) {}
    CPen(int style, int width, COLORREF color) : CGdiObject(Pen) { CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color);
    int m_nStyle = PS_SOLID, m_nWidth = 0;
    COLORREF m_color = 0;
};

class VOK_API CBrush : public CGdiObject {
  public:
    CBrush() : CGdiObject(Brush) {}
    explicit CBrush(COLORREF color) : CGdiObject(Brush) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);
    int m_nStyle = BS_SOLID;
    COLORREF m_color = 0;
};

class VOK_API CFont : public CGdiObject {
  public:
    CFont();
    CFont(const CFont& other);
    CFont& operator=(const CFont& other);
    ~CFont() override;
    // Height < 0 asks for that character height in pixels, > 0 for that cell
    // height. A face that is not installed falls back to a sans-serif one.
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight,
                    int italic, int underline, int strikeOut, int charSet, int outPrecision,
                    int clipPrecision, int quality, int pitchAndFamily, const std::string& face);
    const QFont& qfont() const { return *m_font; }
    // The default text font of a DC; aborts when the system has no usable font.
    static const CFont& DefaultFont();

  private:
    friend class CDC;
    std::unique_ptr<QFont> m_font; // never null
};

class VOK_API CRgn : public CGdiObject {
  public:
    CRgn();
    CRgn(const CRgn& other);
    CRgn& operator=(const CRgn& other);
    ~CRgn() override;
    BOOL CreatePolygonRgn(const CPoint* points, int count, int fillMode);
    const QPainterPath& path() const { return *m_path; }

  private:
    std::unique_ptr<QPainterPath> m_path; // never null
};

// Shared stock objects by stock index (WHITE_PEN, BLACK_BRUSH, ...); null for others.
VOK_API CGdiObject* GetStockObject(int index);

#include "platform/GdiObjects.h"
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPainterPath>
#include <QPolygonF>
#include <cstdio>
#include <cstdlib>

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
    m_nStyle = style, m_nWidth = width, m_color = color & 0xFFFFFF;
    m_bValid = true;
    return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    m_nStyle = BS_SOLID, m_color = color & 0xFFFFFF;
    m_bValid = true;
    return TRUE;
}

namespace {
const char* kFallbackFace = "DejaVu Sans";

QString usableFace(const std::string& face) {
    QString f = QString::fromStdString(face);
    if (!f.isEmpty() && QFontDatabase::hasFamily(f)) return f;
    if (QFontDatabase::hasFamily(kFallbackFace)) return kFallbackFace;
    const QStringList all = QFontDatabase::families();
    if (all.isEmpty()) {
        std::fprintf(stderr, "vokdll: no font is installed; text cannot be drawn\n");
        std::abort();
    }
    return all.front();
}
} // namespace

CFont::CFont() : CGdiObject(Font), m_font(std::make_unique<QFont>()) {}
CFont::CFont(const CFont& other)
    : CGdiObject(other), m_font(std::make_unique<QFont>(*other.m_font)) {}
CFont& CFont::operator=(const CFont& other) {
    CGdiObject::operator=(other);
    *m_font = *other.m_font;
    return *this;
}
CFont::~CFont() = default;

BOOL CFont::CreateFont(int height, int, int, int, int weight, int italic, int underline,
                       int strikeOut, int, int, int, int, int, const std::string& face) {
    QFont f(usableFace(face));
    f.setPixelSize(height == 0 ? 13 : std::abs(height));
    if (weight > 0) f.setWeight(QFont::Weight(std::clamp(weight, 100, 900)));
    f.setItalic(italic != 0);
    f.setUnderline(underline != 0);
    f.setStrikeOut(strikeOut != 0);
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    *m_font = f;
    m_bValid = true;
    return TRUE;
}

const CFont& CFont::DefaultFont() {
    static CFont font = [] {
        CFont f;
        f.CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, kFallbackFace);
        return f;
    }();
    return font;
}

CRgn::CRgn() : CGdiObject(Region), m_path(std::make_unique<QPainterPath>()) {}
CRgn::CRgn(const CRgn& other)
    : CGdiObject(other), m_path(std::make_unique<QPainterPath>(*other.m_path)) {}
CRgn& CRgn::operator=(const CRgn& other) {
    CGdiObject::operator=(other);
    *m_path = *other.m_path;
    return *this;
}
CRgn::~CRgn() = default;

BOOL CRgn::CreatePolygonRgn(const CPoint* points, int count, int fillMode) {
    QPolygonF poly;
    for (int i = 0; i < count; ++i) poly << QPointF(points[i].x, points[i].y);
    *m_path = QPainterPath();
    m_path->addPolygon(poly);
    m_path->closeSubpath();
    m_path->setFillRule(fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    m_bValid = count >= 3;
    return m_bValid ? TRUE : FALSE;
}

namespace {
struct StockObjects {
    CPen whitePen{PS_SOLID, 0, RGB(255, 255, 255)};
    CPen blackPen{PS_SOLID, 0, RGB(0, 0, 0)};
    CPen nullPen{PS_NULL, 0, 0};
    CBrush whiteBrush{RGB(255, 255, 255)};
    CBrush blackBrush{RGB(0, 0, 0)};
    CBrush nullBrush;
    StockObjects() {
        nullBrush.CreateSolidBrush(0);
        nullBrush.m_nStyle = BS_NULL;
    }
};
} // namespace

CGdiObject* GetStockObject(int index) {
    static StockObjects s;
    switch (index) {
    case WHITE_PEN: return &s.whitePen;
    case BLACK_PEN: return &s.blackPen;
    case NULL_PEN: return &s.nullPen;
    case WHITE_BRUSH: return &s.whiteBrush;
    case BLACK_BRUSH: return &s.blackBrush;
    case NULL_BRUSH: return &s.nullBrush;
    case SYSTEM_FONT: return const_cast<CFont*>(&CFont::DefaultFont());
    default: return nullptr;
    }
}

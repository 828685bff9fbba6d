#include "model/Matrix.h"

#include <cmath>

double VECTOR::Dot(const VECTOR& o) const {
    if (cols != 1 || !o.IsColumnOf(rows)) {
        MatrixError("DotProd Error");
        return 0;
    }
    double s = 0;
    for (int i = 0; i < rows; ++i)
        s += Get(i) * o.Get(i);
    return s;
}

double VECTOR::Length() const {
    return std::sqrt(Dot(*this));
}

void VECTOR::Normalize() {
    const double len = Length();
    if (len >= 1e-15) Scale(1.0 / len);
}

VECTOR VECTOR::operator+(const VECTOR& o) const {
    VECTOR r(rows);
    if (cols != 1 || !o.IsColumnOf(rows)) {
        MatrixError("Add Error");
        return r;
    }
    for (int i = 0; i < rows; ++i)
        r.Set(i, Get(i) + o.Get(i));
    return r;
}

VECTOR VECTOR::operator-(const VECTOR& o) const {
    VECTOR r(rows);
    if (cols != 1 || !o.IsColumnOf(rows)) {
        MatrixError("Sub Error");
        return r;
    }
    for (int i = 0; i < rows; ++i)
        r.Set(i, Get(i) - o.Get(i));
    return r;
}

VECTOR VECTOR::operator-() const {
    VECTOR r(rows);
    for (int i = 0; i < rows; ++i)
        r.Set(i, -Get(i));
    return r;
}

double VECTOR::Dot3(const VECTOR& o) const {
    if (rows < 3 || o.rows < 3) {
        MatrixError("DotProd Error");
        return 0;
    }
    return Get(0) * o.Get(0) + Get(1) * o.Get(1) + Get(2) * o.Get(2);
}

VECTOR3 VECTOR::Cross(const VECTOR& o) const {
    if (rows < 3 || o.rows < 3) {
        MatrixError("DotProd Error");
        return VECTOR3();
    }
    const double x = Get(0), y = Get(1), z = Get(2);
    const double x2 = o.Get(0), y2 = o.Get(1), z2 = o.Get(2);
    return VECTOR3(y * z2 - z * y2, z * x2 - x * z2, x * y2 - y * x2);
}

VECTOR2::VECTOR2(double x, double y) : VECTOR(2) {
    Set(0, x);
    Set(1, y);
}

VECTOR2::VECTOR2(const double* xy) : VECTOR(2) {
    Load(xy);
}

VECTOR3::VECTOR3(double x, double y, double z) : VECTOR(3) {
    Set(0, x);
    Set(1, y);
    Set(2, z);
}

VECTOR4::VECTOR4(double x, double y, double z, double w) : VECTOR(4) {
    Set(0, x);
    Set(1, y);
    Set(2, z);
    Set(3, w);
}

VECTOR4::VECTOR4(const double* xyz) : VECTOR(4) {
    for (int i = 0; i < 3; ++i)
        Set(i, xyz[i]);
    Set(3, 1.0);
}

MATRIX3::MATRIX3(double a00, double a01, double a02, double a10, double a11, double a12, double a20,
                 double a21, double a22)
    : MATRIX(3, 3) {
    const double v[] = {a00, a01, a02, a10, a11, a12, a20, a21, a22};
    Load(v);
}

MATRIX2x4::MATRIX2x4(double a00, double a01, double a02, double a03, double a10, double a11,
                     double a12, double a13)
    : MATRIX(2, 4) {
    const double v[] = {a00, a01, a02, a03, a10, a11, a12, a13};
    Load(v);
}

MATRIX4::MATRIX4(double a00, double a01, double a02, double a03, double a10, double a11, double a12,
                 double a13, double a20, double a21, double a22, double a23, double a30, double a31,
                 double a32, double a33)
    : MATRIX(4, 4) {
    const double v[] = {a00, a01, a02, a03, a10, a11, a12, a13,
                        a20, a21, a22, a23, a30, a31, a32, a33};
    Load(v);
}

VECTOR3 operator*(const MATRIX3& m, const VECTOR3& v) {
    VECTOR3 r;
    MATRIX::ProductInto(m, v, r);
    return r;
}

VECTOR2 operator*(const MATRIX2x4& m, const VECTOR4& v) {
    VECTOR2 r;
    MATRIX::ProductInto(m, v, r);
    return r;
}

MATRIX4 operator*(const MATRIX4& a, const MATRIX4& b) {
    MATRIX4 r;
    MATRIX::ProductInto(a, b, r);
    return r;
}

#include "model/Matrix.h"
#include <algorithm>
#include <cmath>
#include <vector>

// Dimension errors are not shown to the user: the caller already gets zeros
// or an unchanged target, and a box per failed product would flood the GUI.
void MatrixError(const std::string& /*text*/) {}

MATRIX::MATRIX(int r, int c) {
    SetSize(r, c);
}
MATRIX::MATRIX(const MATRIX& o) {
    SetSize(o.rows, o.cols);
    std::copy(o.data, o.data + rows * cols, data);
}
MATRIX::~MATRIX() {
    delete[] data;
}

MATRIX& MATRIX::operator=(const MATRIX& o) {
    if (this == &o) return *this;
    if (rows != o.rows || cols != o.cols) {
        MatrixError("Equals Error");
        return *this;
    }
    if (!data && rows * cols != 0) data = new double[rows * cols];
    std::copy(o.data, o.data + rows * cols, data);
    return *this;
}

void MATRIX::SetSize(int r, int c) {
    delete[] data;
    data = nullptr;
    rows = std::max(r, 0);
    cols = std::max(c, 0);
    if (rows * cols != 0) data = new double[rows * cols]();
}

void MATRIX::Zero() {
    std::fill(data, data + rows * cols, 0.0);
}

int MATRIX::Identity() {
    Zero();
    int n = std::min(rows, cols);
    for (int i = 0; i < n; ++i)
        Set(i, i, 1.0);
    return n;
}

void MATRIX::Load(const double* v) {
    std::copy(v, v + rows * cols, data);
}
void MATRIX::Load(const float* v) {
    std::copy(v, v + rows * cols, data);
}

double MATRIX::Norm() const {
    double s = 0;
    for (int k = 0; k < rows * cols; ++k)
        s += data[k] * data[k];
    return std::sqrt(s);
}

void MATRIX::Scale(double s) {
    for (int k = 0; k < rows * cols; ++k)
        data[k] *= s;
}

void MATRIX::ProductInto(const MATRIX& a, const MATRIX& b, MATRIX& out) {
    out.Zero();
    if (a.cols != b.rows || out.rows != a.rows || out.cols != b.cols) {
        MatrixError("Mult Error");
        return;
    }
    for (int i = 0; i < a.rows; ++i)
        for (int j = 0; j < b.cols; ++j) {
            double s = 0;
            for (int k = 0; k < a.cols; ++k)
                s += a.Get(i, k) * b.Get(k, j);
            out.Set(i, j, s);
        }
}

MATRIX MATRIX::operator*(const MATRIX& o) const {
    MATRIX r(rows, o.cols);
    ProductInto(*this, o, r);
    return r;
}

VECTOR MATRIX::operator*(const VECTOR& v) const {
    VECTOR r(rows);
    ProductInto(*this, v, r);
    return r;
}

MATRIX MATRIX::operator+(const MATRIX& o) const {
    MATRIX r(rows, cols);
    if (rows != o.rows || cols != o.cols) {
        MatrixError("Add Error");
        return r;
    }
    for (int k = 0; k < rows * cols; ++k)
        r.data[k] = data[k] + o.data[k];
    return r;
}

MATRIX MATRIX::operator-(const MATRIX& o) const {
    MATRIX r(rows, o.cols);
    if (rows != o.rows || cols != o.cols) {
        MatrixError("Sub Error");
        return r;
    }
    for (int k = 0; k < rows * cols; ++k)
        r.data[k] = data[k] - o.data[k];
    return r;
}

MATRIX MATRIX::operator-() const {
    MATRIX r(rows, cols);
    for (int k = 0; k < rows * cols; ++k)
        r.data[k] = -data[k];
    return r;
}

MATRIX MATRIX::Transpose() const {
    MATRIX r(cols, rows);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            r.Set(j, i, Get(i, j));
    return r;
}

// Gauss-Jordan elimination with full pivoting on copies of the system. Each
// step takes the largest remaining element (the first one in row order among
// equals), normalises its row and clears its column in every other row; the
// recorded pivot pairs then say which row of c holds which unknown.
int MATRIX::Solve(VECTOR& x, const VECTOR& b, std::vector<int>* pivotRows,
                  std::vector<int>* pivotCols) const {
    const int n = rows;
    std::vector<int> prow(n > 0 ? n : 0, -1), pcol(n > 0 ? n : 0, -1);
    auto report = [&](int result) {
        if (pivotRows) *pivotRows = prow;
        if (pivotCols) *pivotCols = pcol;
        return result;
    };
    if (cols != n || x.Rows() != n || b.Rows() != n) {
        MatrixError("Solve Error");
        return report(0);
    }
    MATRIX w(*this);
    VECTOR c(b);
    std::vector<double> r(n);
    std::vector<bool> rowUsed(n), colUsed(n);
    for (int k = 0; k < n; ++k) {
        int p = -1, q = -1;
        double best = -1;
        for (int i = 0; i < n; ++i) {
            if (rowUsed[i]) continue;
            for (int j = 0; j < n; ++j)
                if (!colUsed[j] && std::fabs(w.Get(i, j)) > best) {
                    best = std::fabs(w.Get(i, j));
                    p = i;
                    q = j;
                }
        }
        // Also catches a pivot search that found only NaNs (p stays -1).
        if (!(best >= 2.220446049250313e-12)) return report(0);
        prow[k] = p;
        pcol[k] = q;
        const double piv = w.Get(p, q);
        std::fill(r.begin(), r.end(), 0.0);
        for (int j = 0; j < n; ++j)
            if (!colUsed[j]) {
                w.Set(p, j, w.Get(p, j) / piv);
                r[j] = w.Get(p, j);
            }
        c.Set(p, c.Get(p) / piv);
        for (int i = 0; i < n; ++i) {
            if (i == p) continue;
            const double f = w.Get(i, q);
            for (int j = 0; j < n; ++j)
                if (!colUsed[j]) w.Set(i, j, w.Get(i, j) - f * r[j]);
            c.Set(i, c.Get(i) - f * c.Get(p));
        }
        rowUsed[p] = true;
        colUsed[q] = true;
    }
    for (int m = 0; m < n; ++m)
        x.Set(pcol[m], c.Get(prow[m]));
    return report(1);
}

VECTOR3 MATRIX::GetColumn(int j) const {
    VECTOR3 v;
    if (rows != 3 || j < 0 || j >= cols) {
        MatrixError("Equals Error");
        return v;
    }
    for (int i = 0; i < 3; ++i)
        v.Set(i, Get(i, j));
    return v;
}

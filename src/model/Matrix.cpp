#include "model/Matrix.h"
#include "platform/MessageBox.h"
#include <algorithm>
#include <cmath>
#include <vector>

void MatrixError(const std::string& text) { AfxMessageBox(text); }

MATRIX::MATRIX(int r, int c) { SetSize(r, c); }
MATRIX::MATRIX(const MATRIX& o) {
    SetSize(o.rows, o.cols);
    std::copy(o.data, o.data + rows * cols, data);
}
MATRIX::~MATRIX() { delete[] data; }

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
    rows = r;
    cols = c;
    if (r * c != 0) data = new double[r * c]();
}

void MATRIX::Zero() { std::fill(data, data + rows * cols, 0.0); }

int MATRIX::Identity() {
    Zero();
    int n = std::min(rows, cols);
    for (int i = 0; i < n; ++i) Set(i, i, 1.0);
    return n;
}

void MATRIX::Load(const double* v) { std::copy(v, v + rows * cols, data); }
void MATRIX::Load(const float* v) { std::copy(v, v + rows * cols, data); }

double MATRIX::Norm() const {
    double s = 0;
    for (int k = 0; k < rows * cols; ++k) s += data[k] * data[k];
    return std::sqrt(s);
}

void MATRIX::Scale(double s) {
    for (int k = 0; k < rows * cols; ++k) data[k] *= s;
}

MATRIX MATRIX::operator*(const MATRIX& o) const {
    MATRIX r(rows, o.cols);
    if (cols != o.rows) {
        MatrixError("Mult Error");
        return r;
    }
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < o.cols; ++j) {
            double s = 0;
            for (int k = 0; k < cols; ++k) s += Get(i, k) * o.Get(k, j);
            r.Set(i, j, s);
        }
    return r;
}

MATRIX MATRIX::operator+(const MATRIX& o) const {
    MATRIX r(rows, cols);
    if (rows != o.rows || cols != o.cols) {
        MatrixError("Add Error");
        return r;
    }
    for (int k = 0; k < rows * cols; ++k) r.data[k] = data[k] + o.data[k];
    return r;
}

MATRIX MATRIX::operator-(const MATRIX& o) const {
    MATRIX r(rows, o.cols);
    if (rows != o.rows || cols != o.cols) {
        MatrixError("Sub Error");
        return r;
    }
    for (int k = 0; k < rows * cols; ++k) r.data[k] = data[k] - o.data[k];
    return r;
}

MATRIX MATRIX::operator-() const {
    MATRIX r(rows, cols);
    for (int k = 0; k < rows * cols; ++k) r.data[k] = -data[k];
    return r;
}

MATRIX MATRIX::Transpose() const {
    MATRIX r(cols, rows);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) r.Set(j, i, Get(i, j));
    return r;
}

// Gauss-Jordan elimination with full pivoting on copies of the system.
int MATRIX::Solve(VECTOR& x, const VECTOR& b) const {
    const int n = rows;
    if (x.Rows() != n || b.Rows() != n || cols != n) {
        MatrixError("Solve Error");
        return 0;
    }
    MATRIX w(*this);
    VECTOR c(b);
    std::vector<double> r(n);
    std::vector<int> prow(n, -1), pcol(n, -1);
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
        if (best < 2.220446049250313e-12) return 0;
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
    for (int m = 0; m < n; ++m) x.Set(pcol[m], c.Get(prow[m]));
    return 1;
}

double VECTOR::Dot(const VECTOR& o) const {
    if (cols != 1 || o.cols != 1 || rows != o.rows) {
        MatrixError("DotProd Error");
        return 0;
    }
    double s = 0;
    for (int i = 0; i < rows; ++i) s += Get(i) * o.Get(i);
    return s;
}

double VECTOR::Length() const { return std::sqrt(Dot(*this)); }

void VECTOR::Normalize() {
    const double len = Length();
    if (len >= 1e-15) Scale(1.0 / len);
}

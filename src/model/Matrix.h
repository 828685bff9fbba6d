// Dense double-precision matrices and column vectors with a Gauss-Jordan solver.
// Shape mismatches never stop the program: they go to MatrixError, and the
// operation leaves its target unchanged or returns zeros.
#pragma once
#include <string>
#include <vector>

// Receives a dimension error's text and takes no action (no message box).
// Texts: "Equals Error", "Mult Error", "Add Error", "Sub Error", "DotProd Error",
// "Solve Error".
void MatrixError(const std::string& text);

class VECTOR;
class VECTOR3;

class MATRIX {
  public:
    // A rows x cols zero matrix (explicit, so a number is never taken for one).
    explicit MATRIX(int rows = 0, int cols = 0);
    MATRIX(const MATRIX& other);
    virtual ~MATRIX();
    // Copies the elements when both shapes agree; otherwise "Equals Error" and
    // this matrix stays as it was.
    MATRIX& operator=(const MATRIX& other);
    // Releases the storage and makes a zero matrix of the new shape; a negative
    // dimension counts as 0.
    void SetSize(int rows, int cols);
    void Zero();
    // Zeroes, then puts 1.0 on the leading diagonal; returns min(rows, cols).
    int Identity();
    double Get(int i, int j) const { return data[i * cols + j]; }
    void Set(int i, int j, double v) { data[i * cols + j] = v; }
    double* Ptr(int i, int j) { return data + i * cols + j; }
    const double* Ptr(int i, int j) const { return data + i * cols + j; }
    // Copies rows x cols values in row order.
    void Load(const double* values);
    void Load(const float* values);
    double Norm() const;
    void Scale(double s);
    MATRIX operator*(const MATRIX& other) const;
    VECTOR operator*(const VECTOR& v) const;
    MATRIX operator+(const MATRIX& other) const;
    MATRIX operator-(const MATRIX& other) const;
    MATRIX operator-() const;
    MATRIX Transpose() const;
    // Solves this (square) system for x, which must already hold rows elements.
    // 1 when solved; 0 when singular (x untouched) or, with "Solve Error", when
    // the shapes do not fit. The pivot row and column of every step (-1 for steps
    // not reached) go to pivotRows / pivotCols when given.
    int Solve(VECTOR& x, const VECTOR& b, std::vector<int>* pivotRows = nullptr,
              std::vector<int>* pivotCols = nullptr) const;
    // Column j of a matrix with three rows; zeros and "Equals Error" when this
    // matrix has no such column or not three rows.
    VECTOR3 GetColumn(int j) const;
    int Rows() const { return rows; }
    int Cols() const { return cols; }

    // a x b written into out, which is zero-filled first and keeps its shape;
    // "Mult Error" (out left zero) when the shapes do not chain into out's.
    static void ProductInto(const MATRIX& a, const MATRIX& b, MATRIX& out);

  protected:
    int rows = 0;
    int cols = 0;
    double* data = nullptr;
};

class VECTOR : public MATRIX {
  public:
    explicit VECTOR(int n = 0) : MATRIX(n, 1) {}
    VECTOR(const MATRIX& m) : MATRIX(m) {}
    using MATRIX::operator=;
    double Get(int i) const { return data[i * cols]; }
    void Set(int i, double v) { data[i * cols] = v; }
    // Sum of products; "DotProd Error" and 0 unless both are columns of one length.
    double Dot(const VECTOR& other) const;
    double Length() const;
    // Scales to length 1; a vector shorter than 1e-15 stays unchanged.
    void Normalize();
    VECTOR operator+(const VECTOR& other) const;
    VECTOR operator-(const VECTOR& other) const;
    VECTOR operator-() const;
    // x*x' + y*y' + z*z'; "DotProd Error" and 0 when either has fewer than 3 elements.
    double Dot3(const VECTOR& other) const;
    // The 3-D cross product; "DotProd Error" and zeros when either has fewer
    // than 3 elements.
    VECTOR3 Cross(const VECTOR& other) const;

  private:
    bool IsColumnOf(int n) const { return cols == 1 && rows == n; }
};

class VECTOR2 : public VECTOR {
  public:
    // Takes the elements of any matrix of the same shape (else "Equals Error").
    using VECTOR::operator=;
    VECTOR2() : VECTOR(2) {}
    VECTOR2(double x, double y);
    explicit VECTOR2(const double* xy);
};

class VECTOR3 : public VECTOR {
  public:
    // Takes the elements of any matrix of the same shape (else "Equals Error").
    using VECTOR::operator=;
    VECTOR3() : VECTOR(3) {}
    VECTOR3(double x, double y, double z);
};

class VECTOR4 : public VECTOR {
  public:
    // Takes the elements of any matrix of the same shape (else "Equals Error").
    using VECTOR::operator=;
    VECTOR4() : VECTOR(4) {}
    VECTOR4(double x, double y, double z, double w);
    // A homogeneous point: the three values followed by 1.0.
    explicit VECTOR4(const double* xyz);
};

class MATRIX3 : public MATRIX {
  public:
    // Takes the elements of any matrix of the same shape (else "Equals Error").
    using MATRIX::operator=;
    MATRIX3() : MATRIX(3, 3) {}
    MATRIX3(double a00, double a01, double a02, double a10, double a11, double a12, double a20,
            double a21, double a22);
};

class MATRIX2x4 : public MATRIX {
  public:
    // Takes the elements of any matrix of the same shape (else "Equals Error").
    using MATRIX::operator=;
    MATRIX2x4() : MATRIX(2, 4) {}
    MATRIX2x4(double a00, double a01, double a02, double a03, double a10, double a11, double a12,
              double a13);
};

class MATRIX4 : public MATRIX {
  public:
    // Takes the elements of any matrix of the same shape (else "Equals Error").
    using MATRIX::operator=;
    MATRIX4() : MATRIX(4, 4) {}
    // Sixteen values in row order.
    explicit MATRIX4(const double* values) : MATRIX(4, 4) { Load(values); }
    MATRIX4(double a00, double a01, double a02, double a03, double a10, double a11, double a12,
            double a13, double a20, double a21, double a22, double a23, double a30, double a31,
            double a32, double a33);
};

// Products into the fixed shapes.
VECTOR3 operator*(const MATRIX3& m, const VECTOR3& v);
VECTOR2 operator*(const MATRIX2x4& m, const VECTOR4& v);
MATRIX4 operator*(const MATRIX4& a, const MATRIX4& b);

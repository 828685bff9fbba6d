// Dense double-precision matrices and column vectors with a Gauss-Jordan solver.
#pragma once
#include <string>

// Reports a dimension error; takes no other action.
void MatrixError(const std::string& text);

class VECTOR;

class MATRIX {
  public:
    MATRIX(int rows = 0, int cols = 0);
    MATRIX(const MATRIX& other);
    virtual ~MATRIX();
    MATRIX& operator=(const MATRIX& other);
    void SetSize(int rows, int cols);
    void Zero();
    int Identity();
    double Get(int i, int j) const { return data[i * cols + j]; }
    void Set(int i, int j, double v) { data[i * cols + j] = v; }
    double* Ptr(int i, int j) { return data + i * cols + j; }
    void Load(const double* values);
    void Load(const float* values);
    double Norm() const;
    void Scale(double s);
    MATRIX operator*(const MATRIX& other) const;
    MATRIX operator+(const MATRIX& other) const;
    MATRIX operator-(const MATRIX& other) const;
    MATRIX operator-() const;
    MATRIX Transpose() const;
    int Solve(VECTOR& x, const VECTOR& b) const;
    int Rows() const { return rows; }
    int Cols() const { return cols; }

  protected:
    int rows = 0;
    int cols = 0;
    double* data = nullptr;
};

class VECTOR : public MATRIX {
  public:
    explicit VECTOR(int n = 0) : MATRIX(n, 1) {}
    VECTOR(const MATRIX& m) : MATRIX(m) {}
    double Get(int i) const { return data[i * cols]; }
    void Set(int i, double v) { data[i * cols] = v; }
    double Dot(const VECTOR& other) const;
    double Length() const;
    void Normalize();
};

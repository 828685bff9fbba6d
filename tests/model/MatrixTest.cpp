#include "model/Matrix.h"
#include "MessageCapture.h"
#include <cmath>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace {
MATRIX Make(int rows, int cols, std::vector<double> values) {
    MATRIX m(rows, cols);
    EXPECT_EQ(values.size(), std::size_t(rows * cols));
    m.Load(values.data());
    return m;
}

VECTOR Vec(std::vector<double> values) {
    VECTOR v(int(values.size()));
    v.Load(values.data());
    return v;
}

// "rows x cols: elements in row order", every element exact.
std::string Str(const MATRIX& m) {
    std::ostringstream s;
    s.precision(17);
    s << m.Rows() << "x" << m.Cols() << ":";
    for (int i = 0; i < m.Rows(); ++i)
        for (int j = 0; j < m.Cols(); ++j)
            s << " " << m.Get(i, j);
    return s.str();
}
} // namespace

TEST(Matrix, ShapeValuesAndCopies) {
    MATRIX m(2, 3);
    EXPECT_EQ(Str(m), "2x3: 0 0 0 0 0 0");
    const double v[] = {1, 2, 3, 4, 5, 6};
    m.Load(v);
    EXPECT_EQ(m.Get(1, 0), 4.0); // row order
    EXPECT_EQ(*m.Ptr(0, 2), 3.0);
    *m.Ptr(1, 2) = 60;
    EXPECT_EQ(m.Get(1, 2), 60.0);

    MATRIX copy(m); // deep
    copy.Set(0, 0, -1);
    EXPECT_EQ(Str(m), "2x3: 1 2 3 4 5 60");
    EXPECT_EQ(Str(copy), "2x3: -1 2 3 4 5 60");

    const float f[] = {0.1f, 2.5f, -3, 4, 5, 6};
    m.Load(f);
    EXPECT_EQ(m.Get(0, 0), double(0.1f)); // widened, not rounded to 0.1
    EXPECT_EQ(m.Get(0, 2), -3.0);

    m.SetSize(3, 1);
    EXPECT_EQ(Str(m), "3x1: 0 0 0");
    m.SetSize(-2, 4); // a negative dimension gives an empty matrix
    EXPECT_EQ(m.Rows(), 0);
    EXPECT_EQ(m.Norm(), 0.0);
}

TEST(Matrix, IdentityNormScaleNegate) {
    MATRIX m(2, 3), tall(3, 2);
    m.Set(0, 2, 9);
    EXPECT_EQ(m.Identity(), 2);
    EXPECT_EQ(Str(m), "2x3: 1 0 0 0 1 0");
    EXPECT_EQ(tall.Identity(), 2);
    EXPECT_EQ(Str(tall), "3x2: 1 0 0 1 0 0");

    MATRIX a = Make(2, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_DOUBLE_EQ(a.Norm(), std::sqrt(91.0));
    a.Scale(-2);
    EXPECT_EQ(Str(a), "2x3: -2 -4 -6 -8 -10 -12");
    EXPECT_EQ(Str(-a), "2x3: 2 4 6 8 10 12");
    EXPECT_EQ(a.Get(0, 0), -2.0); // negation builds a new matrix
    a.Zero();
    EXPECT_EQ(a.Norm(), 0.0);
}

TEST(Matrix, ProductSumDifferenceTranspose) {
    MessageCapture cap;
    const MATRIX a = Make(2, 3, {1, 2, 3, 4, 5, 6});
    const MATRIX b = Make(3, 2, {7, 8, 9, 10, 11, 12});
    EXPECT_EQ(Str(a * b), "2x2: 58 64 139 154");
    EXPECT_EQ(Str(b * a), "3x3: 39 54 69 49 68 87 59 82 105");
    EXPECT_EQ(Str(a.Transpose()), "3x2: 1 4 2 5 3 6");
    const MATRIX c = Make(2, 3, {6, 5, 4, 3, 2, 1});
    EXPECT_EQ(Str(a + c), "2x3: 7 7 7 7 7 7");
    EXPECT_EQ(Str(a - c), "2x3: -5 -3 -1 1 3 5");
    EXPECT_EQ(Str(a * Vec({1, 0, -1})), "2x1: -2 -2");
    EXPECT_TRUE(cap.texts.empty());
}

TEST(Matrix, ShapeErrorsLeaveZerosOrTheTarget) {
    MessageCapture cap;
    MATRIX m(2, 3);
    m.Identity();
    EXPECT_EQ(Str(m * MATRIX(2, 2)), "2x2: 0 0 0 0");

    MATRIX two = Make(2, 2, {1, 2, 3, 4});
    MATRIX three(3, 3);
    three.Identity();
    EXPECT_EQ(Str(two + three), "2x2: 0 0 0 0");
    EXPECT_EQ(Str(two - three), "2x3: 0 0 0 0 0 0");

    two = three;
    EXPECT_EQ(Str(two), "2x2: 1 2 3 4");
    two = Make(2, 2, {5, 6, 7, 8}); // same shape: copied
    EXPECT_EQ(Str(two), "2x2: 5 6 7 8");

    EXPECT_EQ(Str(m * Vec({1, 2})), "2x1: 0 0");
    EXPECT_TRUE(cap.texts.empty()); // shape errors show no message box
}

TEST(Matrix, SolveTwoByTwoAndSingular) {
    const MATRIX a = Make(2, 2, {2, 1, 1, 3});
    VECTOR b = Vec({3, 5}), x(2);
    ASSERT_EQ(a.Solve(x, b), 1);
    EXPECT_NEAR(x.Get(0), 0.8, 1e-12);
    EXPECT_NEAR(x.Get(1), 1.4, 1e-12);
    EXPECT_EQ(Str(a), "2x2: 2 1 1 3"); // the system is not changed
    EXPECT_EQ(Str(b), "2x1: 3 5");

    x = Vec({7, 8});
    MessageCapture cap;
    EXPECT_EQ(Make(2, 2, {1, 2, 2, 4}).Solve(x, b), 0);
    EXPECT_EQ(Str(x), "2x1: 7 8");  // left as it was
    EXPECT_TRUE(cap.texts.empty()); // singular is a result, not an error

    // The threshold: a pivot of 1e-12 counts as singular, 3e-12 does not.
    EXPECT_EQ(Make(2, 2, {1e-12, 0, 0, 1e-12}).Solve(x, b), 0);
    ASSERT_EQ(Make(2, 2, {3e-12, 0, 0, 3e-12}).Solve(x, b), 1);
    EXPECT_NEAR(x.Get(0), 1e12, 1.0);
}

TEST(Matrix, SolvePivotsInRowOrder) {
    // The 4 at (0, 1) is met before the equal 4 at (1, 0) and is kept.
    std::vector<int> rows, cols;
    VECTOR x(2);
    ASSERT_EQ(Make(2, 2, {1, 4, 4, 1}).Solve(x, Vec({5, 5}), &rows, &cols), 1);
    EXPECT_EQ(rows, (std::vector<int>{0, 1}));
    EXPECT_EQ(cols, (std::vector<int>{1, 0}));
    EXPECT_NEAR(x.Get(0), 1.0, 1e-12);
    EXPECT_NEAR(x.Get(1), 1.0, 1e-12);

    // Three unknowns with every pivot off the diagonal order: x = (1, 2, 3).
    VECTOR y(3);
    ASSERT_EQ(Make(3, 3, {0, 2, 1, 1, 0, 0, 3, 0, 1}).Solve(y, Vec({7, 1, 6}), &rows, &cols), 1);
    EXPECT_EQ(rows, (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(cols, (std::vector<int>{0, 1, 2}));
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(y.Get(i), i + 1.0, 1e-12) << i;

    // A singular system stops at the step that finds no pivot.
    ASSERT_EQ(Make(2, 2, {1, 2, 2, 4}).Solve(x, Vec({1, 1}), &rows, &cols), 0);
    EXPECT_EQ(rows, (std::vector<int>{1, -1}));
    EXPECT_EQ(cols, (std::vector<int>{1, -1}));
}

TEST(Matrix, SolveRejectsShapesThatDoNotFit) {
    MessageCapture cap;
    const MATRIX a = Make(2, 2, {2, 1, 1, 3});
    VECTOR wrong = Vec({9, 9, 9}), x = Vec({9, 9});
    EXPECT_EQ(a.Solve(wrong, Vec({3, 5})), 0);
    EXPECT_EQ(a.Solve(x, Vec({3, 5, 0})), 0);
    EXPECT_EQ(MATRIX(2, 3).Solve(x, Vec({3, 5})), 0);
    EXPECT_TRUE(cap.texts.empty());
    EXPECT_EQ(Str(wrong) + " " + Str(x), "3x1: 9 9 9 2x1: 9 9");
}

TEST(Vector, DotLengthSumDifference) {
    MessageCapture cap;
    const VECTOR a = Vec({1, 2, 3}), b = Vec({4, 5, 6});
    EXPECT_EQ(a.Dot(b), 32.0);
    EXPECT_DOUBLE_EQ(a.Length(), std::sqrt(14.0));
    EXPECT_EQ(Str(a + b), "3x1: 5 7 9");
    EXPECT_EQ(Str(a - b), "3x1: -3 -3 -3");
    EXPECT_EQ(Str(-a), "3x1: -1 -2 -3");
    EXPECT_TRUE(cap.texts.empty());

    const VECTOR two = Vec({1, 1});
    EXPECT_EQ(a.Dot(two), 0.0);
    EXPECT_EQ(Str(a + two), "3x1: 0 0 0");
    EXPECT_EQ(Str(a - two), "3x1: 0 0 0");
    // A matrix of three rows but two columns is not a vector to dot with.
    EXPECT_EQ(a.Dot(VECTOR(MATRIX(3, 2))), 0.0);
    EXPECT_TRUE(cap.texts.empty());
}

TEST(Vector, NormalizeCrossAndThreeDimensionalDot) {
    VECTOR t(2);
    t.Set(0, 1e-16);
    t.Normalize(); // too short to normalise: unchanged
    EXPECT_EQ(std::pair(t.Get(0), t.Get(1)), std::pair(1e-16, 0.0));
    VECTOR u = Vec({3, 4});
    u.Normalize();
    EXPECT_NEAR(u.Get(0), 0.6, 1e-15);
    EXPECT_NEAR(u.Get(1), 0.8, 1e-15);
    EXPECT_NEAR(u.Length(), 1.0, 1e-15);

    EXPECT_EQ(Str(VECTOR3(1, 0, 0).Cross(VECTOR3(0, 1, 0))), "3x1: 0 0 1");
    EXPECT_EQ(Str(VECTOR3(0, 1, 0).Cross(VECTOR3(1, 0, 0))), "3x1: 0 0 -1");
    EXPECT_EQ(Str(VECTOR3(1, 2, 3).Cross(VECTOR3(4, 5, 6))), "3x1: -3 6 -3");
    // Over the first three elements only, so homogeneous points work too.
    const VECTOR4 p(1, 2, 3, 100), q(4, 5, 6, 100);
    EXPECT_EQ(p.Dot3(q), 32.0);
    EXPECT_EQ(Str(p.Cross(q)), "3x1: -3 6 -3");
    MessageCapture cap;
    EXPECT_EQ(VECTOR2(1, 2).Dot3(p), 0.0);
    EXPECT_EQ(VECTOR2(1, 2).Cross(p).Norm(), 0.0);
    EXPECT_TRUE(cap.texts.empty());
}

TEST(FixedShapes, ConstructorsAndAssignment) {
    const double xy[] = {5, -6}, xyz[] = {1, 2, 3};
    EXPECT_EQ(Str(VECTOR2(xy)), "2x1: 5 -6");
    EXPECT_EQ(Str(VECTOR2(1, 2)), "2x1: 1 2");
    EXPECT_EQ(Str(VECTOR4(xyz)), "4x1: 1 2 3 1");
    EXPECT_EQ(Str(VECTOR4(1, 2, 3, 0)), "4x1: 1 2 3 0");
    const MATRIX3 m3(1, 2, 3, 4, 5, 6, 7, 8, 9);
    EXPECT_EQ(Str(m3), "3x3: 1 2 3 4 5 6 7 8 9");
    EXPECT_EQ(Str(MATRIX2x4(1, 2, 3, 4, 5, 6, 7, 8)), "2x4: 1 2 3 4 5 6 7 8");
    EXPECT_EQ(Str(MATRIX4()), "4x4: 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");

    EXPECT_EQ(Str(m3.GetColumn(2)), "3x1: 3 6 9");
    MessageCapture cap;
    EXPECT_EQ(MATRIX(2, 2).GetColumn(0).Norm(), 0.0);

    // A general result goes into a fixed shape when the shapes agree.
    VECTOR3 v;
    v = VECTOR3(1, 2, 3) + VECTOR3(1, 1, 1);
    EXPECT_EQ(Str(v), "3x1: 2 3 4");
    v = VECTOR(2);
    EXPECT_EQ(Str(v), "3x1: 2 3 4");
    EXPECT_TRUE(cap.texts.empty());
}

TEST(FixedShapes, Transforms) {
    MessageCapture cap;
    const MATRIX3 rz(0, -1, 0, 1, 0, 0, 0, 0, 1); // a quarter turn about z
    EXPECT_EQ(Str(rz * VECTOR3(1, 2, 3)), "3x1: -2 1 3");
    const double xyz[] = {1, 2, 3}, one[] = {1, 1, 1};
    EXPECT_EQ(Str(MATRIX2x4(1, 0, 0, 10, 0, 2, 0, 20) * VECTOR4(xyz)), "2x1: 11 24");

    const MATRIX4 t(1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1); // move by (1, 2, 3)
    const double d[] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1};
    const MATRIX4 sc(d); // scale by 2
    const MATRIX4 ts = t * sc;
    EXPECT_EQ(Str(ts), "4x4: 2 0 0 1 0 2 0 2 0 0 2 3 0 0 0 1");
    EXPECT_EQ(Str(sc * t), "4x4: 2 0 0 2 0 2 0 4 0 0 2 6 0 0 0 1");
    EXPECT_EQ(Str(ts * VECTOR4(one)), "4x1: 3 4 5 1");
    EXPECT_TRUE(cap.texts.empty());
}

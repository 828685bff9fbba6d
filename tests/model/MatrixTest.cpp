#include "model/Matrix.h"
#include "MessageCapture.h"
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {
MATRIX Make(int rows, int cols, std::vector<double> values) {
    MATRIX m(rows, cols);
    EXPECT_EQ(values.size(), std::size_t(rows * cols));
    m.Load(values.data());
    return m;
}

std::vector<double> Elements(const MATRIX& m) {
    std::vector<double> v;
    for (int i = 0; i < m.Rows(); ++i)
        for (int j = 0; j < m.Cols(); ++j)
            v.push_back(m.Get(i, j));
    return v;
}

VECTOR Vec(std::vector<double> values) {
    VECTOR v(int(values.size()));
    v.Load(values.data());
    return v;
}

using Values = std::vector<double>;
} // namespace

TEST(Matrix, ShapeValuesAndCopies) {
    MATRIX m(2, 3);
    EXPECT_EQ(m.Rows(), 2);
    EXPECT_EQ(m.Cols(), 3);
    EXPECT_EQ(Elements(m), Values(6, 0.0));
    const double v[] = {1, 2, 3, 4, 5, 6};
    m.Load(v);
    EXPECT_EQ(m.Get(1, 0), 4.0); // row order
    EXPECT_EQ(*m.Ptr(0, 2), 3.0);
    *m.Ptr(1, 2) = 60;
    EXPECT_EQ(m.Get(1, 2), 60.0);

    MATRIX copy(m); // deep
    copy.Set(0, 0, -1);
    EXPECT_EQ(m.Get(0, 0), 1.0);
    EXPECT_EQ(copy.Get(1, 2), 60.0);

    const float f[] = {0.1f, 2.5f, -3, 4, 5, 6};
    m.Load(f);
    EXPECT_EQ(m.Get(0, 0), double(0.1f)); // widened, not rounded to 0.1
    EXPECT_EQ(m.Get(0, 2), -3.0);

    m.SetSize(3, 1);
    EXPECT_EQ(m.Rows(), 3);
    EXPECT_EQ(m.Cols(), 1);
    EXPECT_EQ(Elements(m), Values(3, 0.0));
    m.SetSize(-2, 4); // a negative dimension gives an empty matrix
    EXPECT_EQ(m.Rows(), 0);
    EXPECT_EQ(m.Norm(), 0.0);
}

TEST(Matrix, IdentityNormScaleNegate) {
    MATRIX m(2, 3);
    m.Set(0, 2, 9);
    EXPECT_EQ(m.Identity(), 2);
    EXPECT_EQ(Elements(m), (Values{1, 0, 0, 0, 1, 0}));
    MATRIX tall(3, 2);
    EXPECT_EQ(tall.Identity(), 2);
    EXPECT_EQ(Elements(tall), (Values{1, 0, 0, 1, 0, 0}));

    MATRIX a = Make(2, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_DOUBLE_EQ(a.Norm(), std::sqrt(91.0));
    a.Scale(-2);
    EXPECT_EQ(Elements(a), (Values{-2, -4, -6, -8, -10, -12}));
    MATRIX n = -a;
    EXPECT_EQ(Elements(n), (Values{2, 4, 6, 8, 10, 12}));
    EXPECT_EQ(a.Get(0, 0), -2.0); // negation builds a new matrix
    a.Zero();
    EXPECT_EQ(a.Norm(), 0.0);
}

TEST(Matrix, ProductSumDifferenceTranspose) {
    MessageCapture cap;
    const MATRIX a = Make(2, 3, {1, 2, 3, 4, 5, 6});
    const MATRIX b = Make(3, 2, {7, 8, 9, 10, 11, 12});
    MATRIX ab = a * b;
    ASSERT_EQ(ab.Rows(), 2);
    ASSERT_EQ(ab.Cols(), 2);
    EXPECT_EQ(Elements(ab), (Values{58, 64, 139, 154}));
    MATRIX ba = b * a;
    ASSERT_EQ(ba.Rows(), 3);
    EXPECT_EQ(Elements(ba), (Values{39, 54, 69, 49, 68, 87, 59, 82, 105}));

    MATRIX t = a.Transpose();
    ASSERT_EQ(t.Rows(), 3);
    ASSERT_EQ(t.Cols(), 2);
    EXPECT_EQ(Elements(t), (Values{1, 4, 2, 5, 3, 6}));

    const MATRIX c = Make(2, 3, {6, 5, 4, 3, 2, 1});
    EXPECT_EQ(Elements(a + c), Values(6, 7.0));
    EXPECT_EQ(Elements(a - c), (Values{-5, -3, -1, 1, 3, 5}));

    const VECTOR x = Vec({1, 0, -1});
    VECTOR ax = a * x;
    ASSERT_EQ(ax.Rows(), 2);
    EXPECT_EQ(ax.Get(0), -2.0);
    EXPECT_EQ(ax.Get(1), -2.0);
    EXPECT_TRUE(cap.texts.empty());
}

TEST(Matrix, ShapeErrorsLeaveZerosOrTheTarget) {
    MessageCapture cap;
    MATRIX m(2, 3);
    m.Identity();
    MATRIX p = m * MATRIX(2, 2);
    EXPECT_EQ(cap.last(), "Mult Error");
    EXPECT_EQ(p.Rows(), 2);
    EXPECT_EQ(p.Cols(), 2);
    EXPECT_EQ(p.Norm(), 0.0);

    MATRIX two = Make(2, 2, {1, 2, 3, 4});
    MATRIX three(3, 3);
    three.Identity();
    MATRIX sum = two + three;
    EXPECT_EQ(cap.last(), "Add Error");
    EXPECT_EQ(sum.Rows(), 2);
    EXPECT_EQ(sum.Cols(), 2);
    EXPECT_EQ(sum.Norm(), 0.0);
    MATRIX diff = two - three;
    EXPECT_EQ(cap.last(), "Sub Error");
    EXPECT_EQ(diff.Rows(), 2);
    EXPECT_EQ(diff.Cols(), 3);
    EXPECT_EQ(diff.Norm(), 0.0);

    two = three;
    EXPECT_EQ(cap.last(), "Equals Error");
    EXPECT_EQ(two.Rows(), 2);
    EXPECT_EQ(Elements(two), (Values{1, 2, 3, 4}));
    MATRIX other = Make(2, 2, {5, 6, 7, 8});
    two = other; // same shape: copied
    EXPECT_EQ(Elements(two), (Values{5, 6, 7, 8}));

    VECTOR v = m * Vec({1, 2});
    EXPECT_EQ(v.Rows(), 2);
    EXPECT_EQ(v.Norm(), 0.0);
    EXPECT_EQ(cap.texts, (std::vector<std::string>{"Mult Error", "Add Error", "Sub Error",
                                                   "Equals Error", "Mult Error"}));
}

TEST(Matrix, SolveTwoByTwoAndSingular) {
    const MATRIX a = Make(2, 2, {2, 1, 1, 3});
    VECTOR b = Vec({3, 5}), x(2);
    ASSERT_EQ(a.Solve(x, b), 1);
    EXPECT_NEAR(x.Get(0), 0.8, 1e-12);
    EXPECT_NEAR(x.Get(1), 1.4, 1e-12);
    EXPECT_EQ(Elements(a), (Values{2, 1, 1, 3})); // the system is not changed
    EXPECT_EQ(b.Get(1), 5.0);

    const MATRIX s = Make(2, 2, {1, 2, 2, 4});
    x = Vec({7, 8});
    MessageCapture cap;
    EXPECT_EQ(s.Solve(x, b), 0);
    EXPECT_EQ(x.Get(0), 7.0); // left as it was
    EXPECT_EQ(x.Get(1), 8.0);
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
    const MATRIX a = Make(3, 3, {0, 2, 1, 1, 0, 0, 3, 0, 1});
    VECTOR y(3);
    ASSERT_EQ(a.Solve(y, Vec({7, 1, 6}), &rows, &cols), 1);
    EXPECT_EQ(rows, (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(cols, (std::vector<int>{0, 1, 2}));
    EXPECT_NEAR(y.Get(0), 1.0, 1e-12);
    EXPECT_NEAR(y.Get(1), 2.0, 1e-12);
    EXPECT_NEAR(y.Get(2), 3.0, 1e-12);

    // A singular system stops at the step that finds no pivot.
    ASSERT_EQ(Make(2, 2, {1, 2, 2, 4}).Solve(x, Vec({1, 1}), &rows, &cols), 0);
    EXPECT_EQ(rows, (std::vector<int>{1, -1}));
    EXPECT_EQ(cols, (std::vector<int>{1, -1}));
}

TEST(Matrix, SolveRejectsShapesThatDoNotFit) {
    MessageCapture cap;
    const MATRIX a = Make(2, 2, {2, 1, 1, 3});
    VECTOR wrong = Vec({9, 9, 9});
    EXPECT_EQ(a.Solve(wrong, Vec({3, 5})), 0);
    EXPECT_EQ(cap.last(), "Solve Error");
    EXPECT_EQ(wrong.Get(2), 9.0);
    VECTOR x = Vec({9, 9});
    EXPECT_EQ(a.Solve(x, Vec({3, 5, 0})), 0);
    EXPECT_EQ(MATRIX(2, 3).Solve(x, Vec({3, 5})), 0);
    EXPECT_EQ(cap.texts.size(), 3u);
    EXPECT_EQ(cap.last(), "Solve Error");
    EXPECT_EQ(x.Get(0), 9.0);
}

TEST(Vector, DotLengthSumDifference) {
    MessageCapture cap;
    const VECTOR a = Vec({1, 2, 3}), b = Vec({4, 5, 6});
    EXPECT_EQ(a.Dot(b), 32.0);
    EXPECT_DOUBLE_EQ(a.Length(), std::sqrt(14.0));
    EXPECT_EQ(Elements(a + b), (Values{5, 7, 9}));
    EXPECT_EQ(Elements(a - b), (Values{-3, -3, -3}));
    EXPECT_EQ(Elements(-a), (Values{-1, -2, -3}));
    EXPECT_TRUE(cap.texts.empty());

    const VECTOR two = Vec({1, 1});
    EXPECT_EQ(a.Dot(two), 0.0);
    EXPECT_EQ(cap.last(), "DotProd Error");
    VECTOR s = a + two;
    EXPECT_EQ(cap.last(), "Add Error");
    EXPECT_EQ(Elements(s), Values(3, 0.0));
    VECTOR d = a - two;
    EXPECT_EQ(cap.last(), "Sub Error");
    EXPECT_EQ(Elements(d), Values(3, 0.0));
    // A matrix of three rows but two columns is not a vector to dot with.
    const VECTOR wide(MATRIX(3, 2));
    EXPECT_EQ(a.Dot(wide), 0.0);
    EXPECT_EQ(cap.texts.size(), 4u);
}

TEST(Vector, NormalizeTiny) {
    VECTOR t(2);
    t.Set(0, 1e-16);
    t.Normalize();
    EXPECT_EQ(t.Get(0), 1e-16);
    EXPECT_EQ(t.Get(1), 0.0);
    VECTOR u = Vec({3, 4});
    u.Normalize();
    EXPECT_NEAR(u.Get(0), 0.6, 1e-15);
    EXPECT_NEAR(u.Get(1), 0.8, 1e-15);
    EXPECT_NEAR(u.Length(), 1.0, 1e-15);
}

TEST(Vector, CrossAndThreeDimensionalDot) {
    VECTOR3 z = VECTOR3(1, 0, 0).Cross(VECTOR3(0, 1, 0));
    EXPECT_EQ(Elements(z), (Values{0, 0, 1}));
    EXPECT_EQ(Elements(VECTOR3(0, 1, 0).Cross(VECTOR3(1, 0, 0))), (Values{0, 0, -1}));
    EXPECT_EQ(Elements(VECTOR3(1, 2, 3).Cross(VECTOR3(4, 5, 6))), (Values{-3, 6, -3}));
    // Over the first three elements only, so homogeneous points work too.
    const VECTOR4 p(1, 2, 3, 100), q(4, 5, 6, 100);
    EXPECT_EQ(p.Dot3(q), 32.0);
    EXPECT_EQ(Elements(p.Cross(q)), (Values{-3, 6, -3}));
    MessageCapture cap;
    EXPECT_EQ(VECTOR2(1, 2).Dot3(p), 0.0);
    EXPECT_EQ(cap.last(), "DotProd Error");
    EXPECT_EQ(VECTOR2(1, 2).Cross(p).Norm(), 0.0);
}

TEST(FixedShapes, ConstructorsAndAssignment) {
    const double xy[] = {5, -6};
    EXPECT_EQ(Elements(VECTOR2(xy)), (Values{5, -6}));
    EXPECT_EQ(Elements(VECTOR2(1, 2)), (Values{1, 2}));
    const double xyz[] = {1, 2, 3};
    const VECTOR4 h(xyz);
    EXPECT_EQ(h.Rows(), 4);
    EXPECT_EQ(Elements(h), (Values{1, 2, 3, 1}));
    EXPECT_EQ(Elements(VECTOR4(1, 2, 3, 0)), (Values{1, 2, 3, 0}));
    const MATRIX3 m3(1, 2, 3, 4, 5, 6, 7, 8, 9);
    EXPECT_EQ(m3.Get(1, 0), 4.0);
    EXPECT_EQ(Elements(MATRIX2x4(1, 2, 3, 4, 5, 6, 7, 8)), (Values{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(MATRIX4().Rows(), 4);
    EXPECT_EQ(MATRIX4().Norm(), 0.0);

    VECTOR3 c = m3.GetColumn(2);
    EXPECT_EQ(Elements(c), (Values{3, 6, 9}));
    MessageCapture cap;
    EXPECT_EQ(MATRIX(2, 2).GetColumn(0).Norm(), 0.0);
    EXPECT_EQ(cap.last(), "Equals Error");

    // A general result goes into a fixed shape when the shapes agree.
    VECTOR3 v;
    v = VECTOR3(1, 2, 3) + VECTOR3(1, 1, 1);
    EXPECT_EQ(Elements(v), (Values{2, 3, 4}));
    v = VECTOR(2);
    EXPECT_EQ(cap.last(), "Equals Error");
    EXPECT_EQ(Elements(v), (Values{2, 3, 4}));
}

TEST(FixedShapes, Transforms) {
    MessageCapture cap;
    // A quarter turn about z.
    const MATRIX3 rz(0, -1, 0, 1, 0, 0, 0, 0, 1);
    VECTOR3 r = rz * VECTOR3(1, 2, 3);
    EXPECT_EQ(Elements(r), (Values{-2, 1, 3}));

    const MATRIX2x4 proj(1, 0, 0, 10, 0, 2, 0, 20);
    const double xyz[] = {1, 2, 3};
    VECTOR2 s = proj * VECTOR4(xyz);
    EXPECT_EQ(Elements(s), (Values{11, 24}));

    const MATRIX4 t(1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1); // move by (1, 2, 3)
    const double d[] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1};
    const MATRIX4 sc(d); // scale by 2
    MATRIX4 ts = t * sc;
    EXPECT_EQ(Elements(ts), (Values{2, 0, 0, 1, 0, 2, 0, 2, 0, 0, 2, 3, 0, 0, 0, 1}));
    MATRIX4 st = sc * t;
    EXPECT_EQ(Elements(st), (Values{2, 0, 0, 2, 0, 2, 0, 4, 0, 0, 2, 6, 0, 0, 0, 1}));
    const double one[] = {1, 1, 1};
    VECTOR moved = ts * VECTOR4(one);
    EXPECT_EQ(Elements(moved), (Values{3, 4, 5, 1}));
    EXPECT_TRUE(cap.texts.empty());
}

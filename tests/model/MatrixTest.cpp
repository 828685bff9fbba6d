#include "model/Matrix.h"
#include "MessageCapture.h"
#include <gtest/gtest.h>

TEST(Matrix, IdentityAndShapeErrors) {
    MATRIX m(2, 3);
    EXPECT_EQ(m.Identity(), 2);
    EXPECT_EQ(m.Get(0, 0), 1.0);
    EXPECT_EQ(m.Get(1, 1), 1.0);
    EXPECT_EQ(m.Get(0, 2), 0.0);
    MessageCapture cap;
    MATRIX p = m * MATRIX(2, 2);
    EXPECT_EQ(cap.last(), "Mult Error");
    EXPECT_EQ(p.Rows(), 2);
    EXPECT_EQ(p.Cols(), 2);
    EXPECT_EQ(p.Norm(), 0.0);
    MATRIX a(2, 2);
    a.Identity();
    a = MATRIX(3, 3);
    EXPECT_EQ(cap.last(), "Equals Error");
    EXPECT_EQ(a.Get(0, 0), 1.0);
}

TEST(Matrix, SolveAndPivot) {
    MATRIX a(2, 2);
    const double v[] = {2, 1, 1, 3};
    a.Load(v);
    VECTOR b(2), x(2);
    b.Set(0, 3);
    b.Set(1, 5);
    ASSERT_EQ(a.Solve(x, b), 1);
    EXPECT_NEAR(x.Get(0), 0.8, 1e-12);
    EXPECT_NEAR(x.Get(1), 1.4, 1e-12);
    const double s[] = {1, 2, 2, 4};
    a.Load(s);
    EXPECT_EQ(a.Solve(x, b), 0);
    MessageCapture cap;
    VECTOR wrong(3);
    EXPECT_EQ(a.Solve(wrong, b), 0);
    EXPECT_EQ(cap.last(), "Solve Error");
}

TEST(Vector, NormalizeTiny) {
    VECTOR t(2);
    t.Set(0, 1e-16);
    t.Normalize();
    EXPECT_EQ(t.Get(0), 1e-16);
    VECTOR u(2);
    u.Set(0, 3);
    u.Set(1, 4);
    u.Normalize();
    EXPECT_NEAR(u.Get(1), 0.8, 1e-12);
}

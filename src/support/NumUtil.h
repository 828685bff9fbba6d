// Small numeric helpers shared by the whole library.
#pragma once
#include <cstdint>
#include <string>

// Round half away from zero: 2.5 -> 3, -2.5 -> -3.
int32_t Round(double x);
// Tolerant comparison: values within +-0.01 are equal when they differ by less
// than 0.000001, larger ones when they differ by less than 1/10000 of the larger.
bool ApproxEqual(float a, float b);
// |x| < 0.000001.
bool IsZero(float x);
// In place: first raise v to lo, then lower it to hi.
void Clamp(int32_t& v, int32_t lo, int32_t hi);
void Clamp(float& v, float lo, float hi);
void Swap(int32_t& a, int32_t& b);
void Swap(float& a, float& b);
void Swap(std::string& a, std::string& b);
double Fabs(float x);
double Sqrt(float x);

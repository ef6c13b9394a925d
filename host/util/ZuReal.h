#pragma once

// A real number; times are in seconds. A plain value class: callers read and write
// the number directly.
class ZuReal {
 public:
  ZuReal() = default;
  ZuReal(double value) : m_value(value) {}  // NOLINT(google-explicit-constructor)

  double GetValue() const { return m_value; }
  void SetValue(double value) { m_value = value; }
  operator double() const { return m_value; }  // NOLINT(google-explicit-constructor)

  double m_value = 0.0;
};

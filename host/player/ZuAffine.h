#pragma once

#include <cmath>

#include "host/swf/ZuSwfTypes.h"

// A 2-D affine transform in floating point: x' = a x + c y + tx, y' = b x + d y + ty.
// The player composes the format's fixed-point matrices into these to map shape twips to
// stage pixels, and inverts them to map stage pixels back into bitmap or gradient space.
struct ZuAffine {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  static ZuAffine FromMatrix(const ZuSwfMatrix& m) {
    constexpr double kFixed = 65536.0;
    return {m.scaleX / kFixed,
            m.rotateSkew0 / kFixed,
            m.rotateSkew1 / kFixed,
            m.scaleY / kFixed,
            static_cast<double>(m.translateX),
            static_cast<double>(m.translateY)};
  }
  static ZuAffine Scale(double s) { return {s, 0, 0, s, 0, 0}; }
  static ZuAffine Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }

  // The transform that applies inner first, then this one.
  ZuAffine After(const ZuAffine& inner) const {
    return {a * inner.a + c * inner.b,        b * inner.a + d * inner.b,
            a * inner.c + c * inner.d,        b * inner.c + d * inner.d,
            a * inner.tx + c * inner.ty + tx, b * inner.tx + d * inner.ty + ty};
  }

  double MapX(double x, double y) const { return a * x + c * y + tx; }
  double MapY(double x, double y) const { return b * x + d * y + ty; }

  double Determinant() const { return a * d - b * c; }
  // False when the transform collapses the plane (or holds values that are not finite).
  bool IsInvertible() const {
    double det = Determinant();
    return std::isfinite(det) && std::fabs(det) > 1e-12;
  }
  // The inverse; only meaningful when IsInvertible().
  ZuAffine Inverse() const {
    double det = Determinant();
    double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    return {ia, ib, ic, id, -(ia * tx + ic * ty), -(ib * tx + id * ty)};
  }
  // How much the transform stretches lengths on average, for line widths.
  double MeanScale() const { return std::sqrt(std::fabs(Determinant())); }
};

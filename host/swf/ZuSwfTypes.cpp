#include "host/swf/ZuSwfTypes.h"

#include <algorithm>
#include <initializer_list>

#include "host/swf/ZuBitStream.h"

namespace {

// Fewest bits of a signed field that holds every one of values.
unsigned SignedBitsForAll(std::initializer_list<int32_t> values) {
  unsigned bits = 0;
  for (int32_t value : values) bits = std::max(bits, ZuBitWriter::SignedBitsNeeded(value));
  return std::min(bits, 31u);  // the widest a 5-bit count can name
}

}  // namespace

bool ZuSwfRect::Read(ZuBitStream& in) {
  uint32_t bits = 0;
  in.ReadBits(5, bits);
  in.ReadSignedBits(bits, xMin);
  in.ReadSignedBits(bits, xMax);
  in.ReadSignedBits(bits, yMin);
  in.ReadSignedBits(bits, yMax);
  in.AlignToByte();
  return !in.HasError();
}

void ZuSwfRect::Write(ZuBitWriter& out) const {
  unsigned bits = SignedBitsForAll({xMin, xMax, yMin, yMax});
  out.WriteBits(5, bits);
  out.WriteSignedBits(bits, xMin);
  out.WriteSignedBits(bits, xMax);
  out.WriteSignedBits(bits, yMin);
  out.WriteSignedBits(bits, yMax);
  out.AlignToByte();
}

bool ZuSwfMatrix::Read(ZuBitStream& in) {
  *this = ZuSwfMatrix();
  uint32_t flag = 0, bits = 0;
  in.ReadBits(1, flag);
  if (flag != 0) {
    in.ReadBits(5, bits);
    in.ReadSignedBits(bits, scaleX);
    in.ReadSignedBits(bits, scaleY);
  }
  in.ReadBits(1, flag);
  if (flag != 0) {
    in.ReadBits(5, bits);
    in.ReadSignedBits(bits, rotateSkew0);
    in.ReadSignedBits(bits, rotateSkew1);
  }
  in.ReadBits(5, bits);
  in.ReadSignedBits(bits, translateX);
  in.ReadSignedBits(bits, translateY);
  in.AlignToByte();
  return !in.HasError();
}

void ZuSwfMatrix::Write(ZuBitWriter& out) const {
  bool hasScale = scaleX != (1 << 16) || scaleY != (1 << 16);
  out.WriteBits(1, hasScale ? 1 : 0);
  if (hasScale) {
    unsigned bits = SignedBitsForAll({scaleX, scaleY});
    out.WriteBits(5, bits);
    out.WriteSignedBits(bits, scaleX);
    out.WriteSignedBits(bits, scaleY);
  }
  bool hasRotate = rotateSkew0 != 0 || rotateSkew1 != 0;
  out.WriteBits(1, hasRotate ? 1 : 0);
  if (hasRotate) {
    unsigned bits = SignedBitsForAll({rotateSkew0, rotateSkew1});
    out.WriteBits(5, bits);
    out.WriteSignedBits(bits, rotateSkew0);
    out.WriteSignedBits(bits, rotateSkew1);
  }
  unsigned bits = SignedBitsForAll({translateX, translateY});
  out.WriteBits(5, bits);
  out.WriteSignedBits(bits, translateX);
  out.WriteSignedBits(bits, translateY);
  out.AlignToByte();
}

bool ZuSwfColorTransform::Read(ZuBitStream& in, bool withAlpha) {
  *this = ZuSwfColorTransform();
  hasAlpha = withAlpha;
  uint32_t hasAdd = 0, hasMult = 0, bits = 0;
  in.ReadBits(1, hasAdd);
  in.ReadBits(1, hasMult);
  in.ReadBits(4, bits);
  if (hasMult != 0) {
    in.ReadSignedBits(bits, redMult);
    in.ReadSignedBits(bits, greenMult);
    in.ReadSignedBits(bits, blueMult);
    if (withAlpha) in.ReadSignedBits(bits, alphaMult);
  }
  if (hasAdd != 0) {
    in.ReadSignedBits(bits, redAdd);
    in.ReadSignedBits(bits, greenAdd);
    in.ReadSignedBits(bits, blueAdd);
    if (withAlpha) in.ReadSignedBits(bits, alphaAdd);
  }
  in.AlignToByte();
  return !in.HasError();
}

void ZuSwfColorTransform::Write(ZuBitWriter& out) const {
  bool hasMult =
      redMult != 256 || greenMult != 256 || blueMult != 256 || (hasAlpha && alphaMult != 256);
  bool hasAdd = redAdd != 0 || greenAdd != 0 || blueAdd != 0 || (hasAlpha && alphaAdd != 0);
  unsigned bits = 0;
  if (hasMult) {
    bits =
        std::max(bits, SignedBitsForAll({redMult, greenMult, blueMult, hasAlpha ? alphaMult : 0}));
  }
  if (hasAdd) {
    bits = std::max(bits, SignedBitsForAll({redAdd, greenAdd, blueAdd, hasAlpha ? alphaAdd : 0}));
  }
  bits = std::min(bits, 15u);  // the count field has 4 bits
  out.WriteBits(1, hasAdd ? 1 : 0);
  out.WriteBits(1, hasMult ? 1 : 0);
  out.WriteBits(4, bits);
  if (hasMult) {
    out.WriteSignedBits(bits, redMult);
    out.WriteSignedBits(bits, greenMult);
    out.WriteSignedBits(bits, blueMult);
    if (hasAlpha) out.WriteSignedBits(bits, alphaMult);
  }
  if (hasAdd) {
    out.WriteSignedBits(bits, redAdd);
    out.WriteSignedBits(bits, greenAdd);
    out.WriteSignedBits(bits, blueAdd);
    if (hasAlpha) out.WriteSignedBits(bits, alphaAdd);
  }
  out.AlignToByte();
}

#pragma once

// How a picture is stored in a bitmap tag. Lossless bitmaps keep every pixel.
enum ZuBitmapQualityEnum : int { kZuBitmapQualityLossless = 0 };

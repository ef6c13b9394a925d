#pragma once

#include <cstddef>
#include <cstdint>

// The PNG row filter: before compression each row of pixel bytes is replaced by its
// difference from a prediction (the byte to the left, the one above, their average or the
// Paeth guess), which turns smooth areas and repeats into runs of small numbers that deflate
// packs well.
//
// Writes the filtered form of row (rowBytes bytes, pixels of bytesPerPixel bytes) to out:
// one byte naming the filter, then rowBytes filtered bytes. above is the unfiltered row
// before it, or null for the first row. The filter is chosen per row by the least sum of the
// filtered bytes taken as signed magnitudes, the usual guess at which one deflates smallest.
void ZuFilterPngRow(const uint8_t* row, const uint8_t* above, size_t rowBytes, int bytesPerPixel,
                    uint8_t* out);

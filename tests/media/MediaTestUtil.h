#pragma once

#include <string>
#include <vector>

#include "host/image/ZuImage.h"

// Reading videos back with FFmpeg's decoders, independently of the media library, and the
// checks and inputs the video tests share.

// Every picture of the first video stream of the file at path, as RGBA; *seconds receives the
// container's duration (-1 when it does not say, as animated PNG), starts (when given) each
// picture's time in seconds. A test failure and an empty list when the file cannot be decoded.
std::vector<ZuImage> DecodeVideo(const std::string& path, double* seconds,
                                 std::vector<double>* starts = nullptr);

// The pictures of a video whose frames last as long as they show the same picture (GIF, APNG)
// at count instants of rate a second: each the picture started last by then. GIF rounds each
// start to a hundredth, so a start up to half a hundredth late counts as on time.
std::vector<ZuImage> AtFrameRate(const std::vector<ZuImage>& pictures,
                                 const std::vector<double>& starts, double rate, size_t count);

// The chapters of the video file at path as "start seconds name" lines ("1.4 Intro").
std::string ReadChapters(const std::string& path);

// The peak signal-to-noise ratio of the luma (BT.601) of actual against expected, in dB, as
// video quality is usually measured (4:2:0 codecs keep colour at half resolution on
// purpose); a larger actual picture (a codec's padding) is compared by its top-left corner.
double LumaPsnr(const ZuImage& actual, const ZuImage& expected);

// A test movie of frames pictures of width x height at 10 frames a second (a gradient with a
// square moving over it, or standing still; with fewColours a gradient of steps, 65 colours in
// all), written to path and checked by the independent parser.
void WriteTestMovie(const std::string& path, int width, int height, int frames,
                    bool fewColours = false, bool still = false);

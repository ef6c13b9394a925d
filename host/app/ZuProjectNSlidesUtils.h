#pragma once

class ZuSlideBase;

class ZuProjectNSlidesUtils {
 public:
  // Whether slide is an FMR slide. With checkResource, it must also show an animation
  // resource that holds an FMR movie.
  static bool IsFMRSlide(const ZuSlideBase* slide, bool checkResource);
};

#include "host/app/ZuResourceNames.h"

namespace {

// Where the extension starts (the last dot, unless the name starts with it), or the end.
size_t ExtensionStart(const std::string& name) {
  const size_t firstNonDot = name.find_first_not_of('.');
  const size_t dot = name.rfind('.');
  return firstNonDot != std::string::npos && dot != std::string::npos && dot > firstNonDot
             ? dot
             : name.size();
}

// The length of stem without its last numbering, or stem's length when it has none.
size_t WithoutNumbering(const std::string& stem) {
  const size_t underscore = stem.rfind('_');
  if (underscore == std::string::npos || underscore == 0 || underscore + 1 >= stem.size() ||
      stem[underscore + 1] == '0') {
    return stem.size();
  }
  for (size_t i = underscore + 1; i < stem.size(); ++i) {
    if (stem[i] < '0' || stem[i] > '9') {
      return stem.size();
    }
  }
  return underscore;
}

}  // namespace

std::string ZuNameFamily(const std::string& name) {
  std::string family = name.substr(0, ExtensionStart(name));
  for (size_t length = WithoutNumbering(family); length < family.size();
       length = WithoutNumbering(family)) {
    family.resize(length);
  }
  return family;
}

std::string ZuReplacedResourceName(const std::string& current, const std::string& asked) {
  return asked.empty() || ZuNameFamily(asked) == ZuNameFamily(current) ? current : asked;
}

std::string ZuNewResourceName(const std::string& asked, const std::set<std::string>& taken) {
  const std::string stem = asked.substr(0, ExtensionStart(asked));
  const size_t once = WithoutNumbering(stem);
  const bool numberedTwice = once < stem.size() && WithoutNumbering(stem.substr(0, once)) < once;
  if (taken.count(asked) == 0 && !numberedTwice) {
    return asked;
  }
  const std::string family = ZuNameFamily(asked);
  const std::string extension = asked.substr(stem.size());
  for (size_t n = 2;; ++n) {
    std::string name = family + "_" + std::to_string(n) + extension;
    if (taken.count(name) == 0) {
      return name;
    }
  }
}

#pragma once

// The parameters of one command. A command owns its data; Clone gives a new, equal record
// that the caller owns.
class IZuCommandData {
 public:
  virtual ~IZuCommandData() = default;
  virtual IZuCommandData* Clone() const = 0;
};

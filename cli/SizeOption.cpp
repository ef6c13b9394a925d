#include "cli/SizeOption.h"

#include "host/util/ZuFileSize.h"

CLI::Validator FileSizeOption() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        if (ZuReadFileSize(text)) {
          return std::string();
        }
        return "give a size from 1 byte to " + ZuFileSizeText(kZuMaxFileSize) +
               " such as 5MB, 500KB, 1.5MB, 2MiB or 300000 (bytes), not '" + text + "'";
      },
      "SIZE");
}

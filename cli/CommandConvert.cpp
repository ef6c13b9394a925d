#include <CLI/CLI.hpp>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/MovieLoading.h"

namespace {

struct ConvertOptions {
  std::string input;
  std::string output;
  std::optional<ZuSwfCompression> compression;
  bool inPlace = false;
};

void RunConvert(const ConvertOptions& options) {
  RefuseWritingOverInputs(options.output, {options.input}, options.inPlace);
  std::unique_ptr<ZuTavoFile> movie = LoadMovieOrThrow(options.input);
  if (options.compression) {
    movie->SetCompression(*options.compression);
  }
  WriteMovieOrThrow(*movie, options.output);
}

}  // namespace

void AddConvertCommand(CLI::App& app) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* command =
      app.add_subcommand("convert", "Write an SWF movie again, with another compression if asked");
  command->add_option("IN", options->input, "SWF file to read")->required();
  command->add_option("-o,--output", options->output, "SWF file to write (- for standard output)")
      ->required();
  const std::map<std::string, ZuSwfCompression> names = {{"none", ZuSwfCompression::kNone},
                                                         {"zlib", ZuSwfCompression::kZlib},
                                                         {"lzma", ZuSwfCompression::kLzma}};
  command
      ->add_option("--compression", options->compression,
                   "none (FWS), zlib (CWS) or lzma (ZWS); the input's when not given")
      ->transform(CLI::CheckedTransformer(names, CLI::ignore_case));
  command->add_flag("--in-place", options->inPlace,
                    "Allow OUT to be IN (a new file is written, then renamed over IN)");
  command->callback([options] { RunConvert(*options); });
}

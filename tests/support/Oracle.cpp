#include "tests/support/Oracle.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>

#include "host/swf/ZuSwfTag.h"
#include "host/util/ZuFileStream.h"
#include "tests/support/FmreditRun.h"

namespace {

// The value of "key":"..." in the oracle's one-line JSON answer (escapes kept as written).
std::string JsonString(const std::string& json, const std::string& key) {
  const std::string opening = "\"" + key + "\":\"";
  const size_t start = json.find(opening);
  if (start == std::string::npos) {
    return {};
  }
  std::string value;
  for (size_t i = start + opening.size(); i < json.size() && json[i] != '"'; ++i) {
    if (json[i] == '\\' && i + 1 < json.size()) {
      value += json[i++];
    }
    value += json[i];
  }
  return value;
}

// Every number that follows "code": in the answer, in order.
std::vector<int> JsonCodes(const std::string& json) {
  static const std::string kKey = "\"code\":";
  std::vector<int> codes;
  for (size_t at = json.find(kKey); at != std::string::npos; at = json.find(kKey, at + 1)) {
    codes.push_back(std::atoi(json.c_str() + at + kKey.size()));
  }
  return codes;
}

std::vector<int> MovieTagCodes(const ZuTavoFile& movie) {
  std::vector<int> codes;
  for (const ZuSwfTag* tag : movie) {
    if (tag != nullptr) {
      codes.push_back(tag->GetTagType());
    }
  }
  if (!codes.empty() && codes.back() == 0) {
    codes.pop_back();  // written as the End tag, which the oracle does not list
  }
  return codes;
}

}  // namespace

std::vector<int> OracleTagCodes(const std::string& path, std::string* error) {
  FmreditRunSetup node;
  node.program = "node";
  const FmreditRun run = RunFmredit({ZU_ORACLE_SCRIPT, path}, node);
  const std::string output = run.out + run.err;
  if (run.exitCode != 0 || output.find("{\"tags\":") == std::string::npos) {
    std::string reason = JsonString(output, "error");
    if (reason.empty()) {
      reason = "node did not run the oracle (" + output.substr(0, 300) +
               "); run ./test.sh to install node and the oracle's modules";
    }
    *error = "oracle rejects " + path + ": " + reason;
    return {};
  }
  error->clear();
  return JsonCodes(output);
}

void ExpectOracleAccepts(const std::string& path, const ZuTavoFile& movie) {
  std::string error;
  const std::vector<int> oracle = OracleTagCodes(path, &error);
  EXPECT_EQ(error, "") << "file " << path;
  if (error.empty()) {
    EXPECT_EQ(oracle, MovieTagCodes(movie))
        << "tag codes of " << path << " as the oracle reads them";
  }
}

void ExpectOracleAcceptsFiles(const std::vector<std::string>& paths) {
  if (paths.empty()) {
    return;
  }
  FmreditRunSetup node;
  node.program = "node";
  std::vector<std::string> arguments{ZU_ORACLE_SCRIPT};
  arguments.insert(arguments.end(), paths.begin(), paths.end());
  std::istringstream lines(RunFmredit(arguments, node).out);
  for (const std::string& path : paths) {
    std::string line;
    std::getline(lines, line);
    ZuTavoFile movie;
    const std::unique_ptr<ZuFileStream> in(ZuFileStream::Open(path, ZuFileStream::Mode::kRead));
    ASSERT_TRUE(in != nullptr && movie.LoadFromStream(in.get()) == kZuSuccess) << path;
    EXPECT_EQ(JsonString(line, "error"), "") << "the oracle rejects " << path << ": " << line;
    EXPECT_EQ(JsonCodes(line), MovieTagCodes(movie)) << "tag codes of " << path;
  }
}

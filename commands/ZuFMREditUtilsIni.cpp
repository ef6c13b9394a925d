// The parameter dump: every FMR edit command appends a section with its parameters to one INI
// file per process, in the executable's folder.
#include <memory>
#include <sstream>
#include <string>

#include "commands/ZuFMREditUtils.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuProjectHolder.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSlideBase.h"
#include "host/util/ZuFileUtil.h"
#include "host/util/ZuPath.h"
#include "platform/ZuTickCount.h"

ZuString ZuFMREditUtils::m_iniStreamName;
int ZuFMREditUtils::m_sectionNr = 0;

namespace {

void WriteUTF8(std::fstream& stream, const ZuString& text) {
  const std::string bytes = text.GetUTF8String();
  stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A number as the standard stream writes it by default (general notation, 6 digits).
template <typename Number>
std::string FormatNumber(Number value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

}  // namespace

// "<executable folder>/fmreditconstsOut<tick count>.ini"; the tick count is signed.
ZuString ZuFMREditUtils::MakeINIStreamName() {
  ZuString name =
      ZuFileUtil::GetCurrentExecutablePath().GetParentZuPath(0xFFFFFFFF).GetPathAsZuString();
  name += ZuFileUtil::GetDirectorySeparator();
  name += "fmreditconstsOut";
  name.AppendNumber(static_cast<int>(timeGetTime()));
  name += ".ini";
  return name;
}

std::fstream* ZuFMREditUtils::CreateINIStream() {
  if (m_iniStreamName.empty()) m_iniStreamName = MakeINIStreamName();
  auto* stream = new std::fstream(m_iniStreamName.GetUTF8String(), std::ios::out | std::ios::app);
  AddNewSection(*stream);
  return stream;
}

ZuErrorCodeEnum ZuFMREditUtils::CloseINIStream(std::fstream& stream) {
  stream.close();  // sets the fail state itself when closing fails
  return kZuSuccess;
}

ZuErrorCodeEnum ZuFMREditUtils::AddCurrentZuFileNameINIEntry(std::fstream& stream) {
  ZuProject* project = QuerySession()->GetProjectHolder(1, 0)->GetCurrentProject();
  if (project == nullptr) return kZuFailure;
  return AddZuStringINIEntry(stream, "PROJ_NAME", project->GetProjectFileFullName(nullptr));
}

ZuErrorCodeEnum ZuFMREditUtils::AddSlideNrINIEntry(std::fstream& stream, ZuSlideBase* slide) {
  if (slide == nullptr) return kZuFailure;
  return AddIntINIEntry(stream, "SLIDE_NR", slide->GetIndex());
}

ZuErrorCodeEnum ZuFMREditUtils::AddZuRealINIEntry(std::fstream& stream, const ZuString& key,
                                                  ZuReal& value) {
  AddKeyStringINIStream(stream, key);
  stream << FormatNumber(value.GetValue());
  return AddNewLineToINIStream(stream);
}

ZuErrorCodeEnum ZuFMREditUtils::AddIntINIEntry(std::fstream& stream, const ZuString& key,
                                               int value) {
  AddKeyStringINIStream(stream, key);
  stream << FormatNumber(value);
  return AddNewLineToINIStream(stream);
}

ZuErrorCodeEnum ZuFMREditUtils::AddZuStringINIEntry(std::fstream& stream, const ZuString& key,
                                                    const ZuString& value) {
  AddKeyStringINIStream(stream, key);
  WriteUTF8(stream, value);
  return AddNewLineToINIStream(stream);
}

ZuErrorCodeEnum ZuFMREditUtils::AddKeyStringINIStream(std::fstream& stream, const ZuString& key) {
  WriteUTF8(stream, key + "=");
  return kZuSuccess;
}

// Text mode: the line feed becomes the platform's line end.
ZuErrorCodeEnum ZuFMREditUtils::AddNewLineToINIStream(std::fstream& stream) {
  stream << '\n';
  return kZuSuccess;
}

ZuErrorCodeEnum ZuFMREditUtils::AddNewSection(std::fstream& stream) {
  ZuString header("[SECTION");
  header.AppendNumber(m_sectionNr);
  header += "]";
  ++m_sectionNr;
  WriteUTF8(stream, header);
  return AddNewLineToINIStream(stream);
}

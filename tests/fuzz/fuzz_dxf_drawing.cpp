// libFuzzer target: any bytes read as a DXF drawing into a database and, when the read
// succeeds, saved again in a version picked from the input; whatever was saved must read back
// into a new database. Never a crash, a leak or undefined behaviour on the way.
#include <contura/dxf/dxf.h>

#include <cstdint>
#include <string>

#include "fuzz_check.h"

namespace {

using namespace contura::dxf;

const DxfVersion kWritten[] = {DxfVersion::R12, DxfVersion::R2000, DxfVersion::R2004, DxfVersion::R2018};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  DxfError error;
  AcDbDatabase db(false, true);
  if (readDxfText(text, db, error) != Acad::eOk) return 0;
  WriteOptions options;
  options.version = kWritten[size % std::size(kWritten)];
  std::string saved;
  if (writeDxfText(db, saved, options, error) != Acad::eOk) return 0;
  AcDbDatabase back(false, true);
  Acad::ErrorStatus es = readDxfText(saved, back, error);
  FUZZ_CHECK(es == Acad::eOk, error.text().c_str());
  return 0;
}

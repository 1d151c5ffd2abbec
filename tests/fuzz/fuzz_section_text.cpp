// libFuzzer target: any bytes drawn as section text into model space of a working database,
// what was drawn encoded again as section text, and that text drawn into a second database:
// every encoded record must draw again, as the same kinds in the same order (the record
// headers of both encodings agree). Never a crash, a leak or undefined behaviour. (The texts
// themselves may differ: a width below 0.00001 changes sign each time it is drawn.)
#include <acdb.h>
#include <dbapserv.h>
#include <dbsymtb.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "SectionTextReader.h"
#include "SectionTextWriter.h"
#include "fuzz_check.h"

namespace {

// A new drawing made the working one for as long as it lives.
class WorkingDrawing {
public:
  AcDbDatabase db{true};

  WorkingDrawing() : m_previous(acdbHostApplicationServices()->workingDatabase()) {
    acdbHostApplicationServices()->setWorkingDatabase(&db);
  }
  ~WorkingDrawing() { acdbHostApplicationServices()->setWorkingDatabase(m_previous); }
  WorkingDrawing(const WorkingDrawing&) = delete;
  WorkingDrawing& operator=(const WorkingDrawing&) = delete;

  AcDbObjectIdArray modelSpace() {
    AcDbObjectIdArray ids;
    AcDbBlockTable* table = nullptr;
    if (db.getBlockTable(table, AcDb::kForRead) != Acad::eOk) return ids;
    AcDbBlockTableRecord* model = nullptr;
    if (table->getAt(ACDB_MODEL_SPACE, model, AcDb::kForRead) == Acad::eOk) {
      AcDbBlockTableRecordIterator* it = nullptr;
      model->newIterator(it);
      for (; it && !it->done(); it->step()) {
        AcDbObjectId id;
        it->getEntityId(id);
        ids.append(id);
      }
      delete it;
      model->close();
    }
    table->close();
    return ids;
  }

  // Draws `text` and encodes what was drawn; the number of entities drawn in `drawn`.
  std::string drawAndEncode(const CString& text, int& drawn) {
    CSectionTextReader().drawSectionText(text);
    CSectionTextWriter writer;
    writer.m_ids = modelSpace();
    drawn = writer.m_ids.length();
    if (writer.buildRecords() != 0) fuzzFailure("an entity just drawn could not be encoded");
    return std::string(writer.getSectionText().GetString(), writer.getSectionText().GetLength());
  }

private:
  AcDbDatabase* m_previous;
};

// The record header lines of an encoding, in order.
std::string headers(std::string_view text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = std::min(text.find('\n', at), text.size());
    if (text[at] == '[') out.append(text.substr(at, end - at)).push_back('\n');
    at = end + 1;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  int drawn = 0, drawnAgain = 0;
  std::string encoded, encodedAgain;
  {
    WorkingDrawing first;
    encoded = first.drawAndEncode(CString(input), drawn);
  }
  {
    WorkingDrawing second;
    encodedAgain = second.drawAndEncode(CString(std::string_view(encoded)), drawnAgain);
  }
  FUZZ_CHECK(drawnAgain == drawn, encoded.c_str());
  FUZZ_CHECK(headers(encodedAgain) == headers(encoded), (encoded + "\n--- encoded again ---\n" + encodedAgain).c_str());
  return 0;
}

// A drawing for section text tests: a database made the working one, layers, entities in
// model space, the editor's answers queued like a script's, and what the module prints.
#pragma once
#include <acdb.h>
#include <dbapserv.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbmtext.h>
#include <dbpl.h>
#include <dbsymtb.h>

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "contura/ed/input.h"
#include "contura/ed/print_sink.h"

// Answers the editor's requests from queued lines; no more lines ends the input.
class QueuedInput : public contura::ed::InputBackend {
public:
  std::deque<std::string> lines;
  std::vector<std::string> prompts;
  contura::ed::InputLine readLine(const contura::ed::InputRequest& request) override {
    prompts.push_back(request.prompt);
    if (lines.empty()) return contura::ed::InputLine::end();
    std::string l = lines.front();
    lines.pop_front();
    return contura::ed::InputLine::line(l);
  }
  void message(std::string_view) override {}
};

class Drawing {
public:
  AcDbDatabase db{true};
  QueuedInput input;
  std::string printed;

  Drawing()
      : m_input(input), m_print([this](std::string_view s) { printed.append(s); }) {
    m_previous = acdbHostApplicationServices()->workingDatabase();
    acdbHostApplicationServices()->setWorkingDatabase(&db);
  }
  ~Drawing() { acdbHostApplicationServices()->setWorkingDatabase(m_previous); }
  Drawing(const Drawing&) = delete;
  Drawing& operator=(const Drawing&) = delete;

  // Appends a new entity to model space and closes it.
  AcDbObjectId add(AcDbEntity* pEnt) {
    AcDbBlockTable* pTable = nullptr;
    db.getBlockTable(pTable, AcDb::kForRead);
    AcDbBlockTableRecord* pModel = nullptr;
    pTable->getAt(ACDB_MODEL_SPACE, pModel, AcDb::kForWrite);
    AcDbObjectId id;
    pModel->appendAcDbEntity(id, pEnt);
    pEnt->close();
    pModel->close();
    pTable->close();
    return id;
  }

  AcDbObjectId addLayer(const char* name, int colorIndex) {
    AcDbLayerTable* pTable = nullptr;
    db.getLayerTable(pTable, AcDb::kForWrite);
    AcDbLayerTableRecord* pRec = new AcDbLayerTableRecord();
    pRec->setName(name);
    AcCmColor c;
    c.setColorIndex(static_cast<Adesk::UInt16>(colorIndex));
    pRec->setColor(c);
    AcDbObjectId id;
    pTable->add(id, pRec);
    pRec->close();
    pTable->close();
    return id;
  }

  // The ids of model space in order.
  std::vector<AcDbObjectId> modelSpace() {
    std::vector<AcDbObjectId> ids;
    AcDbBlockTable* pTable = nullptr;
    db.getBlockTable(pTable, AcDb::kForRead);
    AcDbBlockTableRecord* pModel = nullptr;
    pTable->getAt(ACDB_MODEL_SPACE, pModel, AcDb::kForRead);
    AcDbBlockTableRecordIterator* it = nullptr;
    pModel->newIterator(it);
    for (; !it->done(); it->step()) {
      AcDbObjectId id;
      it->getEntityId(id);
      ids.push_back(id);
    }
    delete it;
    pModel->close();
    pTable->close();
    return ids;
  }

  // Queues the answer that selects everything.
  void selectAll() {
    input.lines.push_back("all");
    input.lines.push_back("");
  }

private:
  contura::ed::ScopedInputBackend m_input;
  contura::ed::ScopedPrintSink m_print;
  AcDbDatabase* m_previous = nullptr;
};

// A polyline's vertices as {x, y, bulge}.
inline std::vector<std::array<double, 3>> verticesOf(const AcDbPolyline* p) {
  std::vector<std::array<double, 3>> out;
  for (unsigned int i = 0; i < p->numVerts(); ++i) {
    AcGePoint2d pt;
    double bulge = 0.0;
    p->getPointAt(i, pt);
    p->getBulgeAt(i, bulge);
    out.push_back({pt.x, pt.y, bulge});
  }
  return out;
}

template <class T>
struct Opened {
  T* p = nullptr;
  explicit Opened(AcDbObjectId id) { acdbOpenObject(p, id, AcDb::kForRead); }
  ~Opened() {
    if (p) p->close();
  }
  T* operator->() const { return p; }
};

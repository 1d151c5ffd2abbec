// Host application services: the working database, finding files, and class registration.
#include "internal.h"

#include <contura/db/host_services.h>
#include <contura/os/codepage.h>
#include <contura/os/paths.h>
#include <dbapserv.h>
#include <dbelipse.h>
#include <dbhatch.h>
#include <dbmtext.h>
#include <dbpl.h>
#include <dbregion.h>
#include <dbsol3d.h>
#include <dbspline.h>

#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbHostApplicationServices, AcRxObject)

namespace contura::db {
namespace {
std::vector<fs::path>& supportFolders() {
  static std::vector<fs::path> folders;
  return folders;
}
}  // namespace
void setSupportPaths(std::vector<fs::path> folders) { supportFolders() = std::move(folders); }
const std::vector<fs::path>& supportPaths() { return supportFolders(); }
}  // namespace contura::db

namespace {

AcDbHostApplicationServices& defaultServices() {
  // Never destroyed: a database deleted during program exit still asks for the services.
  static auto* services = new AcDbHostApplicationServices();
  return *services;
}
AcDbHostApplicationServices* gServices = nullptr;

bool isRegularFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// The folder of the database's file, as a native path (empty when it has none).
fs::path drawingFolder(AcDbDatabase* db) {
  if (db == nullptr) return {};
  const ACHAR* name = nullptr;
  db->getFilename(name);
  if (name == nullptr || name[0] == '\0') return {};
  try {
    return contura::os::toNativePath(name).parent_path();
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace

AcDbHostApplicationServices::AcDbHostApplicationServices() = default;
AcDbHostApplicationServices::~AcDbHostApplicationServices() = default;

AcDbDatabase* AcDbHostApplicationServices::workingDatabase() const { return mpWorkingDatabase; }
void AcDbHostApplicationServices::setWorkingDatabase(AcDbDatabase* pDatabase) { mpWorkingDatabase = pDatabase; }
const ACHAR* AcDbHostApplicationServices::program() { return "contura"; }
const ACHAR* AcDbHostApplicationServices::product() { return "Contura"; }
const ACHAR* AcDbHostApplicationServices::companyName() { return "Contura"; }

Acad::ErrorStatus AcDbHostApplicationServices::findFile(ACHAR* pcFullPathOut, int nBufferLength,
                                                        const ACHAR* pcFilename, AcDbDatabase* pDb, FindFileHint) {
  if (pcFullPathOut == nullptr || nBufferLength <= 0 || pcFilename == nullptr || pcFilename[0] == '\0')
    return Acad::eInvalidInput;
  const std::string name(pcFilename);
  std::vector<fs::path> candidates;
  try {
    const fs::path native = contura::os::toNativePath(name);
    if (native.is_absolute()) {
      candidates.push_back(native);
    } else {
      if (fs::path folder = drawingFolder(pDb ? pDb : mpWorkingDatabase); !folder.empty())
        candidates.push_back(folder / native);
      candidates.push_back(fs::current_path() / native);
      for (const fs::path& folder : contura::db::supportPaths()) candidates.push_back(folder / native);
    }
  } catch (const std::exception&) {
    return Acad::eFileNotFound;  // a path that has no meaning here names no file
  }
  for (const fs::path& candidate : candidates) {
    if (!isRegularFile(candidate)) continue;
    const std::string found = contura::os::utf8ToCp936(candidate.lexically_normal().string());
    if (found.size() + 1 > size_t(nBufferLength)) return Acad::eBufferTooSmall;
    std::memcpy(pcFullPathOut, found.c_str(), found.size() + 1);
    return Acad::eOk;
  }
  return Acad::eFileNotFound;
}

AcDbHostApplicationServices* acdbHostApplicationServices() {
  return gServices != nullptr ? gServices : &defaultServices();
}

Acad::ErrorStatus acdbSetHostApplicationServices(AcDbHostApplicationServices* pServices) {
  AcDbDatabase* working = acdbHostApplicationServices()->workingDatabase();
  gServices = pServices;
  acdbHostApplicationServices()->setWorkingDatabase(working);
  return Acad::eOk;
}

// Every class of the database is registered when the library loads, so that drawing-file
// readers find them by name in the class dictionary.
namespace {
struct RegisterClasses {
  RegisterClasses() {
    const AcRxClass* all[] = {
        AcDbObject::desc(), AcDbEntity::desc(), AcDbCurve::desc(), AcDbDatabase::desc(),
        AcDbHostApplicationServices::desc(), AcDbSymbolTable::desc(), AcDbSymbolTableRecord::desc(),
        AcDbBlockTable::desc(), AcDbLayerTable::desc(), AcDbTextStyleTable::desc(), AcDbLinetypeTable::desc(),
        AcDbViewTable::desc(), AcDbUCSTable::desc(), AcDbViewportTable::desc(), AcDbRegAppTable::desc(),
        AcDbDimStyleTable::desc(), AcDbBlockTableRecord::desc(), AcDbLayerTableRecord::desc(),
        AcDbTextStyleTableRecord::desc(), AcDbLinetypeTableRecord::desc(), AcDbRegAppTableRecord::desc(),
        AcDbDimStyleTableRecord::desc(), AcDbAbstractViewTableRecord::desc(), AcDbViewTableRecord::desc(),
        AcDbViewportTableRecord::desc(), AcDbUCSTableRecord::desc(), AcDbDictionary::desc(), AcDbGroup::desc(),
        AcDbLine::desc(), AcDbCircle::desc(), AcDbArc::desc(), AcDbPoint::desc(), AcDbRay::desc(),
        AcDbXline::desc(), AcDbSolid::desc(), AcDbText::desc(), AcDbAttributeDefinition::desc(),
        AcDbAttribute::desc(), AcDbBlockReference::desc(), AcDbMInsertBlock::desc(), AcDbVertex::desc(),
        AcDb2dVertex::desc(), AcDb2dPolyline::desc(), AcDbPolyline::desc(), AcDbMText::desc(),
        AcDbHatch::desc(), AcDbRegion::desc(), AcDb3dSolid::desc(), AcDbEllipse::desc(), AcDbSpline::desc(),
        AcDbRawEntity::desc(), AcDbRawObject::desc()};
    (void)all;
  }
};
const RegisterClasses gRegisterClasses;
}  // namespace


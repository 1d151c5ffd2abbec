// AcDbHostApplicationServices: what the host program offers the database (the working
// database, finding files).
#pragma once
#include <acadstrc.h>
#include <adesk.h>
#include <rxobject.h>

class AcDbDatabase;

class AcDbHostApplicationServices : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(AcDbHostApplicationServices);
  enum FindFileHint { kDefault = 0, kFontFile, kCompiledShapeFile, kTrueTypeFontFile,
                      kEmbeddedImageFile, kXRefDrawing, kPatternFile, kARXApplication,
                      kFontMapFile, kUnderlayFile };

  AcDbHostApplicationServices();
  ~AcDbHostApplicationServices() override;

  // Finds pcFilename and writes the full path (code page 936) into pcFullPathOut.
  // A Windows path with a drive letter or a Linux absolute path is checked where the drive
  // map puts it; a relative name is looked for in the folder of pDb's file (else of the
  // working database's), in the current folder and in the support folders the program set
  // (contura/db/host_services.h), in that order. eFileNotFound when it is nowhere;
  // eBufferTooSmall when the path does not fit (nBufferLength counts the terminating zero);
  // eInvalidInput for null or empty arguments.
  virtual Acad::ErrorStatus findFile(ACHAR* pcFullPathOut, int nBufferLength,
                                     const ACHAR* pcFilename, AcDbDatabase* pDb = nullptr,
                                     FindFileHint hint = kDefault);

  // The database commands work on. Becomes null when that database is deleted.
  AcDbDatabase* workingDatabase() const;
  void setWorkingDatabase(AcDbDatabase* pDatabase);

  virtual const ACHAR* program();
  virtual const ACHAR* product();
  virtual const ACHAR* companyName();

private:
  AcDbDatabase* mpWorkingDatabase = nullptr;
};

// The services object in use: the database's own until the program installs another.
AcDbHostApplicationServices* acdbHostApplicationServices();
// Installs pServices (not owned; it must outlive its use). Null restores the default one.
// The working database carries over.
Acad::ErrorStatus acdbSetHostApplicationServices(AcDbHostApplicationServices* pServices);

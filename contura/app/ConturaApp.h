// CConturaApp: the module's application object. It registers the five commands of group
// "Contura" on load and removes them on unload; the command handlers are its static members.
#pragma once
#include <acrxEntryPoint.h>

// The command group of every command of the module.
#define CONTURA_CMD_GROUP "Contura"

class CConturaApp : public AcRxArxApp {
public:
  CConturaApp() = default;

  AcRx::AppRetCode On_kInitAppMsg(void* pkt) override;
  AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override;
  void RegisterServerComponents() override;

  // The command handlers, in the order of the command table.
  static void OnSectionLib();     // SectionLib / JMGL: the section library
  static void OnCreateSection();  // CreateSection / CJLX: section text from selected entities
  static void OnChangeVar();      // ChangeVar / XGBL: edit a variable entity
  static void OnAddVar();         // AddVar / TJBL: place a variable entity
  static void OnUSection();       // USection / USD: define a section outline
};

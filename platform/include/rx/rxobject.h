// The runtime class system: AcRxObject (the root of every runtime object) and AcRxClass (the
// description of one runtime class: its name, its parent, how to make an instance).
#pragma once
#include <acadstrc.h>
#include <rxdefs.h>

#include <string>
#include <vector>

class AcRxClass;
class AcRxDictionary;

// Declares the runtime-class members of CLASS_NAME (put it first in the class body):
//   desc()   the class's AcRxClass, made on first use (or by rxInit);
//   cast(p)  p as CLASS_NAME* when p is of CLASS_NAME or a class derived from it, else null;
//   rxInit() makes and registers the AcRxClass (a second call does nothing);
//   isA()    the AcRxClass of the object's own class.
#define ACRX_DECLARE_MEMBERS(CLASS_NAME)                                                    \
public:                                                                                     \
  static AcRxClass* desc();                                                                 \
  static CLASS_NAME* cast(const AcRxObject* inPtr) {                                        \
    return (inPtr == nullptr || !inPtr->isKindOf(CLASS_NAME::desc()))                       \
               ? nullptr                                                                    \
               : static_cast<CLASS_NAME*>(const_cast<AcRxObject*>(inPtr));                  \
  }                                                                                         \
  static void rxInit();                                                                     \
  virtual AcRxClass* isA() const

// The root of every runtime object.
class AcRxObject {
public:
  virtual ~AcRxObject();

  static AcRxClass* desc();
  static AcRxObject* cast(const AcRxObject* inPtr) { return const_cast<AcRxObject*>(inPtr); }
  static void rxInit();
  virtual AcRxClass* isA() const;

  // True when the object's class is aClass or derives from it. False for a null aClass.
  bool isKindOf(const AcRxClass* aClass) const;

  // A new object of the same class (made with isA()->create()) holding a copy of this one's
  // data; null when the class has no constructor or the copy fails. The caller owns it.
  virtual AcRxObject* clone() const;
  // Copies other's data into this object. eNullObjectPointer for null, eNotThatKindOfClass
  // when other is not of this object's class (or derived); the root class has no data.
  virtual Acad::ErrorStatus copyFrom(const AcRxObject* other);
  // Identity by default; classes with values override it.
  virtual bool isEqualTo(const AcRxObject* other) const;
  // kNotOrderable by default.
  virtual AcRx::Ordering comparedTo(const AcRxObject* other) const;

protected:
  AcRxObject() = default;
  AcRxObject(const AcRxObject&) = default;
  AcRxObject& operator=(const AcRxObject&) = default;
};

// The pseudo-constructor of a runtime class: returns a new instance the caller owns.
typedef AcRxObject* (*AcRxPseudoConstructor)();

// One runtime class. Classes are owned by the class dictionary (acrxClassDictionary) from
// newAcRxClass until deleteAcRxClass.
class AcRxClass : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(AcRxClass);
  ~AcRxClass() override;

  // A new instance from the pseudo-constructor, or null when the class has none.
  AcRxObject* create();
  const ACHAR* name() const;
  const ACHAR* dxfName() const;  // null when the class has no DXF name
  const ACHAR* appName() const;  // null when no application was given
  int proxyFlags() const;
  Acad::ErrorStatus getClassVersion(int& dwgVersion, int& maintenanceVersion) const;

  // The parent class; null for AcRxObject and for a class whose parent is not registered yet
  // (acrxBuildClassHierarchy links it once the parent exists).
  AcRxClass* myParent() const;
  // True when this class is other or derives from it. False for null.
  bool isDerivedFrom(const AcRxClass* other) const;

  AcRx::Ordering comparedTo(const AcRxObject* other) const override;  // by name

private:
  AcRxClass() = default;
  friend struct AcRxClassAccess;

  std::string m_name;
  std::string m_parentName;
  std::string m_dxfName;
  std::string m_appName;
  bool m_hasDxfName = false;
  bool m_hasAppName = false;
  AcRxClass* m_pParent = nullptr;
  AcRxPseudoConstructor m_pConstructor = nullptr;
  int m_dwgVersion = 0;
  int m_maintenanceVersion = 0;
  int m_proxyFlags = 0;
  std::vector<AcRxClass**> m_descSlots;  // static desc() pointers to clear on deletion
};

// Makes and registers a runtime class named className whose parent is parentClassName (null
// only for a root class). When a class of that name is registered already, returns it and
// changes nothing. The parent is linked at once when it is registered, else by
// acrxBuildClassHierarchy later.
AcRxClass* newAcRxClass(const ACHAR* className, const ACHAR* parentClassName,
                        int proxyFlags = 0, AcRxPseudoConstructor pseudoConstructor = nullptr,
                        const ACHAR* dxfName = nullptr, const ACHAR* appName = nullptr);
AcRxClass* newAcRxClass(const ACHAR* className, const ACHAR* parentClassName, int dwgVersion,
                        int maintenanceVersion, int proxyFlags = 0,
                        AcRxPseudoConstructor pseudoConstructor = nullptr,
                        const ACHAR* dxfName = nullptr, const ACHAR* appName = nullptr);

// Removes a class from the class dictionary and deletes it; the class's desc() makes a new
// one on its next use. Classes that had it as parent lose their parent link. Null is ignored.
void deleteAcRxClass(AcRxClass* pClass);

// Links every registered class to its parent by the parent's name (classes may be
// registered before their parents).
void acrxBuildClassHierarchy();

// The system registry: the dictionary of the runtime's services by name. Never null.
AcRxDictionary* acrxSysRegistry();

#define ACRX_CLASS_DICTIONARY ACRX_T("ClassDictionary")
// The dictionary of runtime classes by name.
#define acrxClassDictionary AcRxDictionary::cast(acrxSysRegistry()->at(ACRX_CLASS_DICTIONARY))

namespace contura::rx {
// Used by the ACRX_..._DEFINE_MEMBERS macros: remembers where a class keeps its desc()
// pointer, so that deleteAcRxClass can clear it.
void bindDescSlot(AcRxClass* pClass, AcRxClass** slot);
}  // namespace contura::rx

// Shared body of the DEFINE_MEMBERS macros. MAKE_CLASS is the newAcRxClass call.
#define ACRX_DEFINE_MEMBERS_WITH_(CLASS_NAME, PARENT_CLASS, MAKE_CLASS)                      \
  static AcRxClass* acrxDescOf_##CLASS_NAME = nullptr;                                      \
  AcRxClass* CLASS_NAME::desc() {                                                           \
    if (acrxDescOf_##CLASS_NAME == nullptr) CLASS_NAME::rxInit();                           \
    return acrxDescOf_##CLASS_NAME;                                                         \
  }                                                                                         \
  AcRxClass* CLASS_NAME::isA() const { return CLASS_NAME::desc(); }                         \
  void CLASS_NAME::rxInit() {                                                               \
    if (acrxDescOf_##CLASS_NAME != nullptr) return;                                         \
    PARENT_CLASS::desc();                                                                   \
    acrxDescOf_##CLASS_NAME = MAKE_CLASS;                                                   \
    contura::rx::bindDescSlot(acrxDescOf_##CLASS_NAME, &acrxDescOf_##CLASS_NAME);           \
  }

// A class that cannot be made through create().
#define ACRX_NO_CONS_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS)                                \
  ACRX_DEFINE_MEMBERS_WITH_(CLASS_NAME, PARENT_CLASS,                                       \
                            newAcRxClass(ACRX_T(#CLASS_NAME), ACRX_T(#PARENT_CLASS)))

// A class whose create() makes a default-constructed instance.
#define ACRX_CONS_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS, VERNO)                            \
  ACRX_DEFINE_MEMBERS_WITH_(                                                                \
      CLASS_NAME, PARENT_CLASS,                                                             \
      newAcRxClass(ACRX_T(#CLASS_NAME), ACRX_T(#PARENT_CLASS), VERNO, 0, 0,                 \
                   []() -> AcRxObject* { return new CLASS_NAME(); }))

// A database class with a DXF name and an application name (both given as bare words).
#define ACRX_DXF_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS, DWG_VERSION, MAINTENANCE_VERSION,  \
                                PROXY_FLAGS, DXF_NAME, APP)                                 \
  ACRX_DEFINE_MEMBERS_WITH_(                                                                \
      CLASS_NAME, PARENT_CLASS,                                                             \
      newAcRxClass(ACRX_T(#CLASS_NAME), ACRX_T(#PARENT_CLASS), DWG_VERSION,                 \
                   MAINTENANCE_VERSION, PROXY_FLAGS,                                        \
                   []() -> AcRxObject* { return new CLASS_NAME(); }, ACRX_T(#DXF_NAME),     \
                   ACRX_T(#APP)))

#include <rxdict.h>

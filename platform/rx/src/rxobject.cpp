// The runtime class system: the root object, runtime classes and their registration in the
// class dictionary.
#include <rxobject.h>

#include <algorithm>
#include <cstring>
#include <memory>

// Gives the registration functions below access to AcRxClass's private parts.
struct AcRxClassAccess {
  static AcRxClass* make() { return new AcRxClass(); }
  static std::string& parentName(AcRxClass* c) { return c->m_parentName; }
  static AcRxClass*& parent(AcRxClass* c) { return c->m_pParent; }
  static std::vector<AcRxClass**>& slots(AcRxClass* c) { return c->m_descSlots; }
  static void fill(AcRxClass* c, const ACHAR* name, const ACHAR* parentName, int dwgVersion,
                   int maintenanceVersion, int proxyFlags, AcRxPseudoConstructor make,
                   const ACHAR* dxfName, const ACHAR* appName) {
    c->m_name = name;
    c->m_parentName = parentName != nullptr ? parentName : "";
    c->m_hasDxfName = dxfName != nullptr;
    c->m_dxfName = dxfName != nullptr ? dxfName : "";
    c->m_hasAppName = appName != nullptr;
    c->m_appName = appName != nullptr ? appName : "";
    c->m_dwgVersion = dwgVersion;
    c->m_maintenanceVersion = maintenanceVersion;
    c->m_proxyFlags = proxyFlags;
    c->m_pConstructor = make;
  }
};

namespace {

// Not through AcRxDictionary::cast, which needs the dictionary's own class registered first.
AcRxDictionary& classDictionary() {
  return *static_cast<AcRxDictionary*>(acrxSysRegistry()->at(ACRX_CLASS_DICTIONARY));
}

// Every registered class in the class dictionary, in registration order.
std::vector<AcRxClass*> registeredClasses() {
  std::vector<AcRxClass*> classes;
  std::unique_ptr<AcRxDictionaryIterator> it(classDictionary().newIterator(AcRx::kDictCollated));
  for (; !it->done(); it->next()) classes.push_back(static_cast<AcRxClass*>(it->object()));
  return classes;
}

AcRxClass* registeredClass(const std::string& name) {
  if (name.empty()) return nullptr;
  return static_cast<AcRxClass*>(classDictionary().at(name.c_str()));
}

AcRxClass* gpRootDesc = nullptr;

}  // namespace

// ---- AcRxObject

AcRxObject::~AcRxObject() = default;

AcRxClass* AcRxObject::desc() {
  if (gpRootDesc == nullptr) rxInit();
  return gpRootDesc;
}

void AcRxObject::rxInit() {
  if (gpRootDesc != nullptr) return;
  gpRootDesc = newAcRxClass(ACRX_T("AcRxObject"), nullptr);
  contura::rx::bindDescSlot(gpRootDesc, &gpRootDesc);
}

AcRxClass* AcRxObject::isA() const { return AcRxObject::desc(); }

bool AcRxObject::isKindOf(const AcRxClass* aClass) const {
  return aClass != nullptr && isA()->isDerivedFrom(aClass);
}

AcRxObject* AcRxObject::clone() const {
  AcRxObject* copy = isA()->create();
  if (copy == nullptr) return nullptr;
  if (copy->copyFrom(this) != Acad::eOk) {
    delete copy;
    return nullptr;
  }
  return copy;
}

Acad::ErrorStatus AcRxObject::copyFrom(const AcRxObject* other) {
  if (other == nullptr) return Acad::eNullObjectPointer;
  if (!other->isKindOf(isA())) return Acad::eNotThatKindOfClass;
  return Acad::eOk;
}

bool AcRxObject::isEqualTo(const AcRxObject* other) const { return other == this; }

AcRx::Ordering AcRxObject::comparedTo(const AcRxObject*) const { return AcRx::kNotOrderable; }

// ---- AcRxClass

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxClass, AcRxObject)

AcRxClass::~AcRxClass() = default;

AcRxObject* AcRxClass::create() { return m_pConstructor != nullptr ? m_pConstructor() : nullptr; }
const ACHAR* AcRxClass::name() const { return m_name.c_str(); }
const ACHAR* AcRxClass::dxfName() const { return m_hasDxfName ? m_dxfName.c_str() : nullptr; }
const ACHAR* AcRxClass::appName() const { return m_hasAppName ? m_appName.c_str() : nullptr; }
int AcRxClass::proxyFlags() const { return m_proxyFlags; }

Acad::ErrorStatus AcRxClass::getClassVersion(int& dwgVersion, int& maintenanceVersion) const {
  dwgVersion = m_dwgVersion;
  maintenanceVersion = m_maintenanceVersion;
  return Acad::eOk;
}

AcRxClass* AcRxClass::myParent() const { return m_pParent; }

bool AcRxClass::isDerivedFrom(const AcRxClass* other) const {
  if (other == nullptr) return false;
  // The chain is finite: a class is only linked to a parent registered under another name,
  // and acrxBuildClassHierarchy refuses links that would close a loop.
  for (const AcRxClass* c = this; c != nullptr; c = c->m_pParent)
    if (c == other) return true;
  return false;
}

AcRx::Ordering AcRxClass::comparedTo(const AcRxObject* other) const {
  const AcRxClass* o = AcRxClass::cast(other);
  if (o == nullptr) return AcRx::kNotOrderable;
  int c = std::strcmp(name(), o->name());
  return c < 0 ? AcRx::kLessThan : (c > 0 ? AcRx::kGreaterThan : AcRx::kEqual);
}

// ---- registration

namespace {

// True when linking child to parent would make a class its own ancestor.
bool wouldLoop(AcRxClass* child, AcRxClass* parent) {
  for (AcRxClass* c = parent; c != nullptr; c = AcRxClassAccess::parent(c))
    if (c == child) return true;
  return false;
}

void linkParent(AcRxClass* c) {
  AcRxClass* parent = registeredClass(AcRxClassAccess::parentName(c));
  if (parent != nullptr && parent != c && !wouldLoop(c, parent)) AcRxClassAccess::parent(c) = parent;
}

}  // namespace

AcRxClass* newAcRxClass(const ACHAR* className, const ACHAR* parentClassName, int dwgVersion,
                        int maintenanceVersion, int proxyFlags,
                        AcRxPseudoConstructor pseudoConstructor, const ACHAR* dxfName,
                        const ACHAR* appName) {
  if (className == nullptr || *className == '\0') return nullptr;
  if (AcRxClass* existing = registeredClass(className)) return existing;
  AcRxClass* c = AcRxClassAccess::make();
  AcRxClassAccess::fill(c, className, parentClassName, dwgVersion, maintenanceVersion, proxyFlags,
                        pseudoConstructor, dxfName, appName);
  linkParent(c);
  classDictionary().atPut(className, c);
  // Classes registered before this one, their parent, are linked to it now.
  for (AcRxClass* other : registeredClasses())
    if (AcRxClassAccess::parent(other) == nullptr && other != c) linkParent(other);
  return c;
}

AcRxClass* newAcRxClass(const ACHAR* className, const ACHAR* parentClassName, int proxyFlags,
                        AcRxPseudoConstructor pseudoConstructor, const ACHAR* dxfName,
                        const ACHAR* appName) {
  return newAcRxClass(className, parentClassName, 0, 0, proxyFlags, pseudoConstructor, dxfName,
                      appName);
}

void deleteAcRxClass(AcRxClass* pClass) {
  if (pClass == nullptr) return;
  AcRxDictionary& dict = classDictionary();
  if (dict.at(pClass->name()) == pClass) dict.remove(pClass->name());
  for (AcRxClass* c : registeredClasses())
    if (AcRxClassAccess::parent(c) == pClass) AcRxClassAccess::parent(c) = nullptr;
  for (AcRxClass** slot : AcRxClassAccess::slots(pClass))
    if (*slot == pClass) *slot = nullptr;
  delete pClass;
}

void acrxBuildClassHierarchy() {
  for (AcRxClass* c : registeredClasses())
    if (AcRxClassAccess::parent(c) == nullptr) linkParent(c);
}

void contura::rx::bindDescSlot(AcRxClass* pClass, AcRxClass** slot) {
  if (pClass == nullptr || slot == nullptr) return;
  std::vector<AcRxClass**>& slots = AcRxClassAccess::slots(pClass);
  if (std::find(slots.begin(), slots.end(), slot) == slots.end()) slots.push_back(slot);
}

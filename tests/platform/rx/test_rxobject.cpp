// Runtime classes: hierarchy, isKindOf and cast, registration order, deletion, cloning.
#include <rxobject.h>
#include <rxregsvc.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

class TBase : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(TBase);
  int value = 0;
  // Not inlined: inlined into a call with an object of another class, the compiler warns
  // about the cast below on a path the kind check has already ruled out.
  __attribute__((noinline)) Acad::ErrorStatus copyFrom(const AcRxObject* other) override {
    Acad::ErrorStatus es = AcRxObject::copyFrom(other);
    if (es != Acad::eOk) return es;
    value = static_cast<const TBase*>(other)->value;
    return es;
  }
};
class TDerived : public TBase {
public:
  ACRX_DECLARE_MEMBERS(TDerived);
};
class TOther : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(TOther);
};

ACRX_CONS_DEFINE_MEMBERS(TBase, AcRxObject, 1)
ACRX_DXF_DEFINE_MEMBERS(TDerived, TBase, 27, 3, 0, TDERIVED, RXTEST)
ACRX_NO_CONS_DEFINE_MEMBERS(TOther, AcRxObject)

namespace {

TEST(RxClass, KindAndCastFollowTheHierarchy) {
  TBase base;
  TDerived derived;
  TOther other;
  EXPECT_EQ(derived.isA(), TDerived::desc());
  EXPECT_TRUE(derived.isKindOf(TDerived::desc()));
  EXPECT_TRUE(derived.isKindOf(TBase::desc()));
  EXPECT_TRUE(derived.isKindOf(AcRxObject::desc()));
  EXPECT_FALSE(derived.isKindOf(TOther::desc()));
  EXPECT_FALSE(base.isKindOf(TDerived::desc()));
  EXPECT_FALSE(base.isKindOf(nullptr));

  EXPECT_EQ(TBase::cast(&derived), &derived);
  EXPECT_EQ(TDerived::cast(&base), nullptr);
  EXPECT_EQ(TOther::cast(&derived), nullptr);
  EXPECT_EQ(TOther::cast(&other), &other);
  EXPECT_EQ(TBase::cast(nullptr), nullptr);

  EXPECT_EQ(TDerived::desc()->myParent(), TBase::desc());
  EXPECT_EQ(TBase::desc()->myParent(), AcRxObject::desc());
  EXPECT_EQ(AcRxObject::desc()->myParent(), nullptr);
  EXPECT_TRUE(TDerived::desc()->isDerivedFrom(AcRxObject::desc()));
  EXPECT_FALSE(TBase::desc()->isDerivedFrom(TDerived::desc()));
  // Classes are runtime objects too.
  EXPECT_TRUE(TBase::desc()->isKindOf(AcRxClass::desc()));
}

TEST(RxClass, ClassesAreRegisteredWithTheirDescription) {
  AcRxClass* derived = TDerived::desc();
  EXPECT_EQ(acrxClassDictionary->at("TDerived"), derived);
  EXPECT_STREQ(derived->name(), "TDerived");
  EXPECT_STREQ(derived->dxfName(), "TDERIVED");
  EXPECT_STREQ(derived->appName(), "RXTEST");
  int dwg = 0, maint = 0;
  EXPECT_EQ(derived->getClassVersion(dwg, maint), Acad::eOk);
  EXPECT_EQ(dwg, 27);
  EXPECT_EQ(maint, 3);
  EXPECT_EQ(TBase::desc()->dxfName(), nullptr);
  EXPECT_EQ(TBase::desc()->appName(), nullptr);

  std::unique_ptr<AcRxObject> made(TDerived::desc()->create());
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->isA(), TDerived::desc());
  EXPECT_EQ(TOther::desc()->create(), nullptr);  // no constructor

  // Registering a name again gives the class already there; no name gives nothing.
  EXPECT_EQ(newAcRxClass("TBase", "AcRxObject"), TBase::desc());
  EXPECT_EQ(newAcRxClass(nullptr, "AcRxObject"), nullptr);
  EXPECT_EQ(newAcRxClass("", "AcRxObject"), nullptr);
}

TEST(RxClass, CloneCopiesThroughTheClassConstructor) {
  TDerived original;
  original.value = 42;
  std::unique_ptr<AcRxObject> copy(original.clone());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->isA(), TDerived::desc());
  EXPECT_EQ(TBase::cast(copy.get())->value, 42);

  TBase target;
  auto other = std::make_unique<TOther>();
  EXPECT_EQ(target.copyFrom(nullptr), Acad::eNullObjectPointer);
  EXPECT_EQ(target.copyFrom(other.get()), Acad::eNotThatKindOfClass);
  EXPECT_EQ(target.copyFrom(&original), Acad::eOk);  // a derived object is a base one too
  EXPECT_EQ(target.value, 42);
  EXPECT_EQ(other->clone(), nullptr);  // no constructor, no clone
}

TEST(RxClass, ParentsAreLinkedWhenTheyArriveAndUnlinkedWhenDeleted) {
  AcRxClass* child = newAcRxClass("LateChild", "LateParent");
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->myParent(), nullptr);

  AcRxClass* parent = newAcRxClass("LateParent", "AcRxObject");
  EXPECT_EQ(child->myParent(), parent);
  EXPECT_TRUE(child->isDerivedFrom(AcRxObject::desc()));

  deleteAcRxClass(parent);
  EXPECT_FALSE(acrxClassDictionary->has("LateParent"));
  EXPECT_EQ(child->myParent(), nullptr);
  acrxBuildClassHierarchy();
  EXPECT_EQ(child->myParent(), nullptr);

  // Registered anew, the parent is found again by name.
  parent = newAcRxClass("LateParent", "AcRxObject");
  acrxBuildClassHierarchy();
  EXPECT_EQ(child->myParent(), parent);
  deleteAcRxClass(child);
  deleteAcRxClass(parent);
}

TEST(RxClass, ParentLinksNeverCloseALoop) {
  AcRxClass* a = newAcRxClass("LoopA", "LoopB");
  AcRxClass* b = newAcRxClass("LoopB", "LoopA");
  acrxBuildClassHierarchy();
  // Exactly one of the two links is made; walking up from either class ends.
  EXPECT_NE(a->myParent() == b, b->myParent() == a);
  EXPECT_TRUE(a->isDerivedFrom(a));
  EXPECT_FALSE(a->isDerivedFrom(AcRxObject::desc()));
  deleteAcRxClass(a);
  deleteAcRxClass(b);
}

TEST(RxClass, DeletedClassIsMadeAgainOnNextUse) {
  TOther object;
  AcRxClass* first = TOther::desc();
  deleteAcRxClass(first);
  EXPECT_FALSE(acrxClassDictionary->has("TOther"));
  AcRxClass* second = TOther::desc();
  ASSERT_NE(second, nullptr);
  EXPECT_STREQ(second->name(), "TOther");
  EXPECT_EQ(acrxClassDictionary->at("TOther"), second);
  EXPECT_TRUE(object.isKindOf(second));
  EXPECT_EQ(second->myParent(), AcRxObject::desc());
  deleteAcRxClass(nullptr);  // ignored
}

TEST(RxClass, ClassesCompareByName) {
  EXPECT_EQ(TBase::desc()->comparedTo(TDerived::desc()), AcRx::kLessThan);
  EXPECT_EQ(TDerived::desc()->comparedTo(TBase::desc()), AcRx::kGreaterThan);
  EXPECT_EQ(TBase::desc()->comparedTo(TBase::desc()), AcRx::kEqual);
  TBase notAClass;
  EXPECT_EQ(TBase::desc()->comparedTo(&notAClass), AcRx::kNotOrderable);
}

}  // namespace

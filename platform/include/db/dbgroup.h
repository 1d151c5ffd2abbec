// AcDbGroup: a named, ordered set of entities of one drawing, kept in the group dictionary.
#pragma once
#include <dbmain.h>

#include <string>
#include <vector>

class AcDbGroup : public AcDbObject {
public:
  ACRX_DECLARE_MEMBERS(AcDbGroup);
  AcDbGroup();
  explicit AcDbGroup(const ACHAR* grpDesc, bool selectable = true);
  ~AcDbGroup() override;

  // The group's name is its key in the group dictionary. setName renames the entry
  // (eDuplicateKey when taken, eInvalidInput for empty); a group not in a dictionary just
  // keeps the name.
  const ACHAR* name() const { return mName.c_str(); }
  Acad::ErrorStatus getName(ACHAR*& name) const;  // copy
  Acad::ErrorStatus setName(const ACHAR* newName);
  ACHAR* description() const;  // copy
  Acad::ErrorStatus setDescription(const ACHAR* grpDesc);
  bool isSelectable() const { return mSelectable; }
  Acad::ErrorStatus setSelectable(bool selectable);
  bool isAnonymous() const { return mAnonymous; }
  Acad::ErrorStatus setAnonymous();
  bool isNotAccessible() const { return false; }

  // Membership. Ids must be non-null (eNullObjectId), name entities (eNotAnEntity) of the
  // group's database (eWrongDatabase) and not be members already (eDuplicateKey); nothing
  // changes on failure. eNotOpenForWrite when the group is not open for write.
  Acad::ErrorStatus append(AcDbObjectId id);
  Acad::ErrorStatus append(const AcDbObjectIdArray& ids);
  Acad::ErrorStatus prepend(AcDbObjectId id);
  Acad::ErrorStatus insertAt(Adesk::UInt32 idx, AcDbObjectId id);  // eInvalidIndex
  Acad::ErrorStatus remove(AcDbObjectId id);  // eKeyNotFound when not a member
  Acad::ErrorStatus remove(const AcDbObjectIdArray& ids);
  Acad::ErrorStatus removeAt(Adesk::UInt32 idx);
  Acad::ErrorStatus replace(AcDbObjectId oldId, AcDbObjectId newId);
  Acad::ErrorStatus clear();
  // Members that are not erased, in order.
  Adesk::UInt32 numEntities() const;
  Adesk::UInt32 allEntityIds(AcDbObjectIdArray& ids) const;
  bool has(const AcDbEntity* pEntity) const;
  bool has(AcDbObjectId id) const;
  Acad::ErrorStatus getIndex(AcDbObjectId id, Adesk::UInt32& idx) const;

  // Applied to every member (each opened for write and closed); stops at the first member
  // that cannot be opened and returns its status.
  Acad::ErrorStatus setColorIndex(Adesk::UInt16 color);
  Acad::ErrorStatus setColor(const AcCmColor& color);
  Acad::ErrorStatus setLayer(const ACHAR* newVal);
  Acad::ErrorStatus setLayer(AcDbObjectId newVal);
  Acad::ErrorStatus setLinetype(const ACHAR* newVal);
  Acad::ErrorStatus setVisibility(AcDb::Visibility newVal);

protected:
  AcDbGroup(const AcDbGroup&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  void translateIds(const contura::db::IdTranslator& translator) override;

private:
  friend struct contura::db::ObjectAccess;
  Acad::ErrorStatus checkMember(AcDbObjectId id) const;
  template <class F> Acad::ErrorStatus forEachMember(F&& apply);
  std::string mName;
  std::string mDescription;
  std::vector<AcDbStub*> mMembers;
  bool mSelectable = true;
  bool mAnonymous = false;
};

// Copying between databases: wblock (the whole drawing into a new database, same handles)
// and insert (another drawing's model space into this one, names resolved: existing win).
#include "defaults.h"

#include <contura/db/rawtags.h>

#include <charconv>

using contura::db::CopyContext;
using contura::db::ObjectAccess;
using Impl = AcDbDatabase::Impl;

namespace {

// Translates source ids through the copies made (then through the records matched by name);
// ids of the source with no counterpart become null; ids of other databases stay.
class CopyTranslator : public contura::db::IdTranslator {
public:
  CopyTranslator(const Impl& source, const CopyContext& ctx,
                 const std::unordered_map<AcDbStub*, AcDbStub*>& matched)
      : mSource(source), mCtx(ctx), mMatched(matched) {}
  AcDbStub* translate(AcDbStub* id) const override {
    if (id == nullptr) return nullptr;
    if (id->database != mSource.self) return id;
    if (auto it = mCtx.map.find(id); it != mCtx.map.end()) return it->second;
    if (auto it = mMatched.find(id); it != mMatched.end()) return it->second;
    return nullptr;
  }

private:
  const Impl& mSource;
  const CopyContext& mCtx;
  const std::unordered_map<AcDbStub*, AcDbStub*>& mMatched;
};

// Handle-valued group codes of drawing-file tags (pointers, owners, handles in extended data).
bool isHandleCode(short code) {
  return (code >= 320 && code <= 369) || (code >= 390 && code <= 399) || code == 480 || code == 481 || code == 1005;
}

void translateHandles(AcDbRawTags& tags, const Impl& source, const CopyTranslator& translator) {
  for (AcDbRawTag& tag : tags) {
    if (!isHandleCode(tag.code)) continue;
    Adesk::UInt64 h = 0;
    const char* first = tag.value.data();
    auto r = std::from_chars(first, first + tag.value.size(), h, 16);
    if (r.ec != std::errc() || h == 0) continue;
    AcDbStub* target = translator.translate(source.findStub(h));
    char buf[17];
    AcDbHandle(target ? target->handle : 0).getIntoAsciiBuffer(buf);
    tag.value = buf;
  }
}

void translateRawHandles(AcDbObject& obj, const Impl& source, const CopyTranslator& translator) {
  if (!ObjectAccess::extrasIf(obj)) {
    if (!AcDbRawEntity::cast(&obj) && !AcDbRawObject::cast(&obj)) return;
  } else {
    auto& extras = ObjectAccess::extras(obj);
    translateHandles(extras.xdata, source, translator);
    translateHandles(extras.appGroups, source, translator);
    translateHandles(extras.extra, source, translator);
  }
  if (auto* raw = AcDbRawEntity::cast(&obj)) translateHandles(ObjectAccess::rawTagsOf(*raw), source, translator);
  else if (auto* rawObj = AcDbRawObject::cast(&obj)) translateHandles(ObjectAccess::rawTagsOf(*rawObj), source, translator);
}

// Whether obj is a part (attribute, vertex) that travels with its owner.
bool isPart(const AcDbObject& obj) {
  AcDbObject* owner = contura::db::peek(ObjectAccess::owner(obj));
  return owner != nullptr && (AcDbBlockReference::cast(owner) || AcDb2dPolyline::cast(owner)) &&
         AcDbEntity::cast(&obj) != nullptr;
}

// Adds a copy to dst (parts follow through the copy context), closed, and records it.
AcDbStub* addCopy(Impl& dst, AcDbObject* copy, AcDbStub* source, Adesk::UInt64 handle) {
  AcDbStub* stub = nullptr;
  if (dst.addObject(copy, stub, handle) != Acad::eOk && dst.addObject(copy, stub) != Acad::eOk) {
    delete copy;
    return nullptr;
  }
  ObjectAccess::markClosed(*copy);
  // The source's owner for now; translating ids turns it into the copy's owner.
  ObjectAccess::setOwner(*copy, ObjectAccess::owner(*source->object));
  dst.copyContext->map[source] = stub;
  return stub;
}

// The next free anonymous name of dst for a source name "*Xnnn".
std::string anonymousNameFor(const Impl& dst, const std::string& sourceName) {
  const std::string prefix = sourceName.substr(0, 2);
  for (long n = 1;; ++n) {
    std::string candidate = prefix + std::to_string(n);
    if (dst.lookupRecord(Impl::kBlockTable, candidate) == nullptr) return candidate;
  }
}

}  // namespace

Acad::ErrorStatus AcDbDatabase::wblock(AcDbDatabase*& pOutputDb) {
  pOutputDb = nullptr;
  auto* target = new AcDbDatabase(false);
  Impl& dst = ObjectAccess::impl(*target);
  Impl& src = *mImpl;
  CopyContext ctx;
  ctx.keepHandles = true;
  dst.copyContext = &ctx;
  std::vector<std::pair<AcDbObject*, AcDbObject*>> links;  // source, copy: extension dictionaries
  src.forEachStub([&](AcDbStub* s) {
    if (!contura::db::isLive(s) || isPart(*s->object)) return;
    AcDbObject* copy = AcDbObject::cast(s->object->clone());
    if (copy == nullptr) return;
    if (addCopy(dst, copy, s, s->handle) != nullptr) links.emplace_back(s->object, copy);
  });
  for (auto& [source, copy] : links) {
    if (const auto* e = ObjectAccess::extrasIf(*source)) {
      if (e->extDict != nullptr || !e->reactors.isEmpty()) {
        ObjectAccess::extras(*copy).extDict = e->extDict;
        ObjectAccess::extras(*copy).reactors = e->reactors;
      }
    }
  }
  const std::unordered_map<AcDbStub*, AcDbStub*> none;
  CopyTranslator translator(src, ctx, none);
  for (auto& [from, to] : ctx.map)
    if (to->object) ObjectAccess::translateIds(*to->object, translator);
  for (int k = 0; k < Impl::kTableCount; ++k) dst.tables[k] = translator.translate(src.tables[k]);
  dst.namedObjects = translator.translate(src.namedObjects);
  dst.clayer = translator.translate(src.clayer);
  dst.textstyle = translator.translate(src.textstyle);
  dst.celtype = translator.translate(src.celtype);
  dst.dimstyle = translator.translate(src.dimstyle);
  dst.cecolor = src.cecolor;
  dst.celtscale = src.celtscale;
  dst.ltscale = src.ltscale;
  dst.textsize = src.textsize;
  dst.celweight = src.celweight;
  dst.insbase = src.insbase;
  dst.extmin = src.extmin;
  dst.extmax = src.extmax;
  dst.rawHeader = src.rawHeader;
  dst.rawSections = src.rawSections;
  dst.handseed = std::max(dst.handseed, src.handseed);
  dst.copyContext = nullptr;
  pOutputDb = target;
  return Acad::eOk;
}

namespace {

// Copies src's model space (and what it needs) into dst: the entities into targetSpace,
// transformed by xform.
Acad::ErrorStatus insertContents(Impl& dst, Impl& src, const AcGeMatrix3d& xform, AcDbStub* targetSpace) {
  if (dst.tables[Impl::kBlockTable] == nullptr) contura::db::buildDefaultDrawing(dst);
  auto* targetBlock = contura::db::peekAs<AcDbBlockTableRecord>(targetSpace);
  AcDbStub* sourceSpace = src.modelSpace();
  auto* sourceBlock = contura::db::peekAs<AcDbBlockTableRecord>(sourceSpace);
  if (targetBlock == nullptr || sourceBlock == nullptr) return Acad::eNoDatabase;

  CopyContext ctx;
  dst.copyContext = &ctx;
  std::unordered_map<AcDbStub*, AcDbStub*> matched;  // source record -> existing record of dst
  matched[sourceSpace] = targetSpace;

  // Records of every table: by name, the existing one wins.
  for (int k = 0; k < Impl::kTableCount; ++k) {
    auto* srcTable = contura::db::peekAs<AcDbSymbolTable>(src.tables[k]);
    auto* dstTable = contura::db::peekAs<AcDbSymbolTable>(dst.tables[k]);
    if (srcTable == nullptr || dstTable == nullptr) continue;
    for (AcDbStub* rec : ObjectAccess::tableRecords(*srcTable)) {
      if (!contura::db::isLive(rec) || rec == sourceSpace) continue;
      auto* record = static_cast<AcDbSymbolTableRecord*>(rec->object);
      std::string name = ObjectAccess::recordName(*record);
      auto* block = AcDbBlockTableRecord::cast(record);
      if (block != nullptr && block->isLayout()) continue;  // paper spaces stay behind
      const bool anonymous = block != nullptr && block->isAnonymous();
      if (!anonymous) {
        if (AcDbStub* existing = dst.lookupRecord(k, name)) {
          matched[rec] = existing;
          continue;
        }
      }
      auto* copy = AcDbSymbolTableRecord::cast(record->clone());
      if (copy == nullptr) continue;
      if (anonymous) ObjectAccess::setRecordName(*copy, anonymousNameFor(dst, name));
      AcDbStub* stub = addCopy(dst, copy, rec, 0);
      if (stub != nullptr) ObjectAccess::tableAppend(*dstTable, stub);
    }
  }
  // The contents of the blocks copied (their entity lists are translated below).
  for (auto [from, to] : std::vector<std::pair<AcDbStub*, AcDbStub*>>(ctx.map.begin(), ctx.map.end())) {
    auto* block = AcDbBlockTableRecord::cast(from->object);
    if (block == nullptr) continue;
    for (AcDbStub* ent : ObjectAccess::blockEntities(*block)) {
      if (!contura::db::isLive(ent)) continue;
      if (auto* copy = AcDbObject::cast(ent->object->clone())) addCopy(dst, copy, ent, 0);
    }
  }
  // Model space, transformed.
  const bool identity = xform.isEqualTo(AcGeMatrix3d::kIdentity);
  for (AcDbStub* ent : ObjectAccess::blockEntities(*sourceBlock)) {
    if (!contura::db::isLive(ent)) continue;
    auto* entity = static_cast<AcDbEntity*>(ent->object);
    AcDbEntity* copy = nullptr;
    // What cannot follow the transform (raw tags) comes across as it is.
    if (identity || entity->getTransformedCopy(xform, copy) != Acad::eOk || copy == nullptr)
      copy = AcDbEntity::cast(entity->clone());
    if (copy == nullptr) continue;
    if (AcDbStub* stub = addCopy(dst, copy, ent, 0)) ObjectAccess::blockEntities(*targetBlock).push_back(stub);
  }
  // Groups, by name (existing names win).
  auto* srcNod = contura::db::peekAs<AcDbDictionary>(src.namedObjects);
  auto* dstNod = contura::db::peekAs<AcDbDictionary>(dst.namedObjects);
  AcDbObjectId srcGroupsId, dstGroupsId;
  if (srcNod && dstNod && srcNod->getAt(ACDB_GROUP_DICTIONARY, srcGroupsId) == Acad::eOk &&
      dstNod->getAt(ACDB_GROUP_DICTIONARY, dstGroupsId) == Acad::eOk) {
    auto* srcGroups = contura::db::peekAs<AcDbDictionary>(srcGroupsId);
    auto* dstGroups = contura::db::peekAs<AcDbDictionary>(dstGroupsId);
    if (srcGroups && dstGroups) {
      AcDbDictionaryIterator* it = srcGroups->newIterator(AcRx::kDictCollated);
      for (; !it->done(); it->next()) {
        if (dstGroups->has(it->name())) continue;
        AcDbStub* groupStub = it->objectId();
        auto* copy = AcDbObject::cast(contura::db::peek(groupStub)->clone());
        if (copy == nullptr) continue;
        if (AcDbStub* stub = addCopy(dst, copy, groupStub, 0))
          ObjectAccess::dictionaryAppend(*dstGroups, it->name(), stub);
        matched[srcGroupsId] = dstGroupsId;
      }
      delete it;
    }
  }

  CopyTranslator translator(src, ctx, matched);
  for (auto& [from, to] : ctx.map) {
    if (to->object == nullptr) continue;
    ObjectAccess::translateIds(*to->object, translator);
    translateRawHandles(*to->object, src, translator);
  }
  dst.copyContext = nullptr;
  return Acad::eOk;
}

}  // namespace

Acad::ErrorStatus AcDbDatabase::insert(const AcGeMatrix3d& xform, AcDbDatabase* pDb, bool) {
  if (pDb == nullptr) return Acad::eNullObjectPointer;
  if (pDb == this) return Acad::eSelfReference;
  if (mImpl->tables[Impl::kBlockTable] == nullptr) contura::db::buildDefaultDrawing(*mImpl);
  return insertContents(*mImpl, ObjectAccess::impl(*pDb), xform, mImpl->modelSpace());
}

Acad::ErrorStatus AcDbDatabase::insert(AcDbObjectId& blockId, const ACHAR* pBlockName, AcDbDatabase* pDb, bool) {
  if (pDb == nullptr) return Acad::eNullObjectPointer;
  if (pDb == this) return Acad::eSelfReference;
  if (pBlockName == nullptr || pBlockName[0] == '\0') return Acad::eInvalidInput;
  if (mImpl->tables[Impl::kBlockTable] == nullptr) contura::db::buildDefaultDrawing(*mImpl);
  if (mImpl->lookupRecord(Impl::kBlockTable, pBlockName) != nullptr) return Acad::eDuplicateRecordName;
  auto* block = new AcDbBlockTableRecord();
  block->setOrigin(pDb->insbase());
  AcDbStub* stub = contura::db::addRecordDirect(*mImpl, Impl::kBlockTable, block, pBlockName);
  if (stub == nullptr) return Acad::eInvalidInput;
  Acad::ErrorStatus es = insertContents(*mImpl, ObjectAccess::impl(*pDb), AcGeMatrix3d::kIdentity, stub);
  if (es == Acad::eOk) blockId = stub;
  return es;
}

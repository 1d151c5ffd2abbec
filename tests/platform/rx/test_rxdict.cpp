// Dictionaries: ownership of entries, ids, iteration orders, case folding, the system registry.
#include <accmd.h>
#include <rxregsvc.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Counts its destructions.
struct Counted : AcRxObject {
  explicit Counted(int* deaths) : m_deaths(deaths) {}
  ~Counted() override { ++*m_deaths; }
  int* m_deaths;
};

std::vector<std::string> keys(const AcRxDictionary& dict, AcRx::DictIterType type) {
  std::vector<std::string> result;
  std::unique_ptr<AcRxDictionaryIterator> it(dict.newIterator(type));
  for (; !it->done(); it->next()) result.push_back(it->key());
  return result;
}

TEST(RxDictionary, EntriesAreReplacedRemovedAndOwned) {
  int deaths = 0;
  {
    AcRxDictionary dict;
    auto* a = new Counted(&deaths);
    auto* b = new Counted(&deaths);
    Adesk::UInt32 idA = 99;
    EXPECT_EQ(dict.atPut("a", a, idA), nullptr);
    EXPECT_EQ(idA, 0u);
    EXPECT_EQ(dict.at("a"), a);
    EXPECT_EQ(dict.at(idA), a);
    // Replacing hands the old object back to the caller.
    AcRxObject* old = dict.atPut("a", b);
    EXPECT_EQ(old, a);
    delete old;
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(dict.idAt("a"), 0u);  // same entry, same id
    EXPECT_EQ(dict.atPut("a", b), nullptr);  // putting the same object again returns nothing

    auto* c = new Counted(&deaths);
    dict.atPut("c", c);
    AcRxObject* removed = dict.remove("c");
    EXPECT_EQ(removed, c);
    EXPECT_FALSE(dict.has("c"));
    EXPECT_EQ(dict.remove("c"), nullptr);
    delete removed;
    EXPECT_EQ(deaths, 2);

    EXPECT_EQ(dict.atPut(nullptr, b), nullptr);
    EXPECT_EQ(dict.atPut("x", nullptr), nullptr);
    EXPECT_FALSE(dict.has("x"));
    EXPECT_EQ(dict.numEntries(), 1u);
  }
  EXPECT_EQ(deaths, 3);  // the dictionary deleted b

  int kept = 0;
  Counted survivor(&kept);
  {
    AcRxDictionary borrowing(true, false, /*deleteObjects=*/false);
    borrowing.atPut("s", &survivor);
  }
  EXPECT_EQ(kept, 0);
}

TEST(RxDictionary, IdsAndIterationOrders) {
  int deaths = 0;
  AcRxDictionary dict;
  for (const char* key : {"pear", "apple", "quince", "fig"}) dict.atPut(key, new Counted(&deaths));
  EXPECT_EQ(keys(dict, AcRx::kDictSorted), (std::vector<std::string>{"apple", "fig", "pear", "quince"}));
  EXPECT_EQ(keys(dict, AcRx::kDictCollated), (std::vector<std::string>{"pear", "apple", "quince", "fig"}));

  delete dict.remove("apple");
  dict.atPut("banana", new Counted(&deaths));
  EXPECT_EQ(dict.idAt("banana"), 4u);  // ids are never reused
  EXPECT_EQ(dict.keyAt(1), nullptr);
  EXPECT_EQ(dict.idAt("apple"), static_cast<Adesk::UInt32>(-1));
  EXPECT_EQ(keys(dict, AcRx::kDictCollated), (std::vector<std::string>{"pear", "quince", "fig", "banana"}));

  // An entry removed while walking is skipped.
  std::unique_ptr<AcRxDictionaryIterator> it(dict.newIterator(AcRx::kDictSorted));
  EXPECT_STREQ(it->key(), "banana");
  delete dict.remove("fig");
  ASSERT_TRUE(it->next());
  EXPECT_STREQ(it->key(), "pear");
  ASSERT_TRUE(it->next());
  EXPECT_STREQ(it->key(), "quince");
  EXPECT_FALSE(it->next());
  EXPECT_TRUE(it->done());
  EXPECT_EQ(it->object(), nullptr);
}

TEST(RxDictionary, RenamingRefusesTakenKeys) {
  int deaths = 0;
  AcRxDictionary dict;
  auto* one = new Counted(&deaths);
  dict.atPut("one", one);
  dict.atPut("two", new Counted(&deaths));
  EXPECT_FALSE(dict.resetKey("one", "two"));
  EXPECT_FALSE(dict.resetKey("missing", "three"));
  EXPECT_TRUE(dict.resetKey("one", "first"));
  EXPECT_EQ(dict.at("first"), one);
  EXPECT_FALSE(dict.has("one"));
}

TEST(RxDictionary, IgnoringCaseFoldsAsciiLettersButNotDoubleByteCharacters) {
  int deaths = 0;
  AcRxDictionary dict(true, /*ignoreCase=*/true);
  EXPECT_FALSE(dict.isCaseSensitive());
  auto* x = new Counted(&deaths);
  dict.atPut("Layer0", x);
  EXPECT_EQ(dict.at("LAYER0"), x);
  EXPECT_EQ(dict.at("layer0"), x);
  EXPECT_STREQ(dict.keyAt(dict.idAt("LAYER0")), "Layer0");  // the key keeps its spelling

  // Two double-byte characters whose trail bytes are 'a' and 'A' are different characters.
  auto* lower = new Counted(&deaths);
  auto* upper = new Counted(&deaths);
  dict.atPut("\x81\x61", lower);
  EXPECT_EQ(dict.atPut("\x81\x41", upper), nullptr);
  EXPECT_EQ(dict.at("\x81\x61"), lower);
  EXPECT_EQ(dict.at("\x81\x41"), upper);

  AcRxDictionary exact;
  exact.atPut("Key", new Counted(&deaths));
  EXPECT_FALSE(exact.has("KEY"));
}

TEST(RxDictionary, SystemRegistryHoldsTheRuntimeServices) {
  AcRxDictionary* registry = acrxSysRegistry();
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(registry, acrxSysRegistry());
  EXPECT_NE(AcRxDictionary::cast(registry->at("ClassDictionary")), nullptr);
  EXPECT_NE(AcRxDynamicLinker::cast(registry->at("DynamicLinker")), nullptr);
  EXPECT_NE(AcEdCommandStack::cast(registry->at("ACAD_REGISTERED_COMMANDS")), nullptr);
  EXPECT_EQ(acrxDynamicLinker, registry->at("DynamicLinker"));
  EXPECT_EQ(acedRegCmds, registry->at("ACAD_REGISTERED_COMMANDS"));
  EXPECT_EQ(AcEdCommandStack::cast(registry->at("DynamicLinker")), nullptr);

  // A dictionary made through its class.
  std::unique_ptr<AcRxObject> made(AcRxDictionary::desc()->create());
  ASSERT_NE(AcRxDictionary::cast(made.get()), nullptr);
  EXPECT_TRUE(AcRxDictionary::cast(made.get())->isSorted());
}

}  // namespace

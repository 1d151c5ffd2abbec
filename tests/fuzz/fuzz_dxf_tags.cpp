// libFuzzer target: any bytes through the DXF text checks, tag reader, section walker and
// text codec must give a clean result or a clean error, never a crash or a leak.
#include <contura/dxf/codec.h>
#include <contura/dxf/records.h>

#include <cstdint>
#include <string>

namespace {

using namespace contura::dxf;

// Decodes every string it is handed, as the drawing reader does.
class DecodingSink : public DxfSink {
 public:
  TextCodec codec;
  std::string scratch;

  void decodeAll(const std::vector<Tag>& tags) {
    for (const Tag& t : tags) {
      if (t.type == TagType::String) {
        scratch.clear();
        codec.decode(t.text, scratch);
        codec.encode(scratch);
      }
    }
  }
  bool headerVariable(const Tag& name, const std::vector<Tag>& values, DxfError&) override {
    if (name.text == "$ACADVER" && !values.empty()) {
      DxfVersion v{};
      if (versionFromAcadVer(values[0].text, v)) version = v;
    }
    if (name.text == "$DWGCODEPAGE" && !values.empty()) codePage = std::string(values[0].text);
    decodeAll(values);
    return true;
  }
  bool headerEnd(DxfError&) override {
    codec.setFileEncoding(version, codePage);
    return true;
  }
  bool classRecord(const Record& r, DxfError&) override { return decode(r); }
  bool tableBegin(const Record&, DxfError&) override { return true; }
  bool tableEntry(const Record&, const Record& r, DxfError& e) override { return handle(r, e) && decode(r); }
  bool tableEnd(const Record&, const Record&, DxfError&) override { return true; }
  bool blockBegin(const Record& r, DxfError& e) override { return handle(r, e); }
  bool blockEnd(const Record&, const Record&, DxfError&) override { return true; }
  bool entity(const Record*, const EntityRecords& ent, DxfError& e) override {
    for (const Record& f : ent.followers) decode(f);
    return handle(ent.main, e) && decode(ent.main);
  }
  bool object(const Record& r, DxfError& e) override { return handle(r, e) && decode(r); }
  bool otherSection(const Tag&, const std::vector<Tag>& tags, DxfError&) override {
    decodeAll(tags);
    return true;
  }

 private:
  bool decode(const Record& r) {
    decodeAll(r.tags);
    return true;
  }
  static bool handle(const Record& r, DxfError& e) {
    std::uint64_t h = 0;
    return recordHandle(r, h, e);
  }
  DxfVersion version = DxfVersion::R12;
  std::string codePage;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  DxfError error;
  if (!checkDxfText(text, error)) return 0;
  TagReader reader(text);
  DecodingSink sink;
  walkDxf(reader, sink, error);
  return 0;
}

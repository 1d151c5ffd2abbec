// Internal: walks one record's tags, taking the parts every record shares (handle,
// application groups, owner, extended data, AcDbEntity data) and handing the rest to the
// caller's field function; what it does not take is kept as extras under its subclass.
#pragma once
#include <contura/dxf/entities.h>

#include <array>
#include <string>

namespace contura::dxf::detail {

inline void setCoordinate(Point3& p, int code, int base, double v) {
  if (code == base) p.x = v;
  else if (code == base + 10) p.y = v;
  else p.z = v;
}

inline bool isCoordinate(int code, int base) {
  return code == base || code == base + 10 || code == base + 20;
}

class RecordParser {
 public:
  RecordParser(const TextCodec& codec, EntityCommon& common, DxfError& error)
      : m_codec(codec), m_common(common), m_error(error) {}

  // Entity records: take the AcDbEntity data (layer, colour...) into `common`.
  void takeEntityData(bool take) { m_entityData = take; }
  // The subclasses whose tags the field function sees (tags of files without subclasses
  // always); tags of any other subclass are kept as extras. Not set: every subclass.
  void ownSubclasses(std::initializer_list<std::string_view> names) {
    m_ownCount = 0;
    for (std::string_view n : names) {
      if (m_ownCount < m_own.size()) m_own[m_ownCount++] = n;
    }
  }

  // Walks the record. `field(subclass, tag)` returns true when it used the tag. False with
  // the error set when a handle is bad.
  template <class Field>
  bool run(const Record& record, Field field) {
    const std::vector<Tag>& tags = record.tags;
    std::string_view subclass;
    bool embedded = false;  // after "101 Embedded Object" everything is kept as it is
    m_lastMarker.clear();
    for (std::size_t i = 1; i < tags.size(); ++i) {
      const Tag& t = tags[i];
      if (t.code >= 1000) {
        for (; i < tags.size(); ++i) m_common.xdata.push_back(rawTagOf(tags[i], m_codec));
        break;
      }
      if (t.code == 102 && !embedded) {
        i = appGroup(tags, i);
        continue;
      }
      if (t.code == 5 && subclass.empty() && !embedded && record.type() != "DIMSTYLE") {
        if (!parseHandle(t.text, m_common.handle)) return badHandle(t);
        continue;
      }
      if (t.code == 105 && record.type() == "DIMSTYLE") {
        m_common.handle = t.handle;
        continue;
      }
      if (t.code == 330 && subclass.empty() && !m_ownerSeen) {
        m_common.owner = t.handle;
        m_ownerSeen = true;
        continue;
      }
      if (t.code == 100 && !embedded) {
        subclass = t.text;
        continue;
      }
      if (t.code == 101) embedded = true;
      if (!embedded) {
        if (m_entityData && (subclass.empty() || subclass == "AcDbEntity") && entityData(t)) continue;
        if (ownsSubclass(subclass) && field(subclass, t)) continue;
      }
      addExtra(subclass, t);
    }
    return true;
  }

  std::string text(const Tag& t) const { return m_codec.decode(t.text); }

 private:
  bool ownsSubclass(std::string_view subclass) const {
    if (m_ownCount == 0 || subclass.empty()) return true;
    for (std::size_t i = 0; i < m_ownCount; ++i) {
      if (m_own[i] == subclass) return true;
    }
    return false;
  }
  std::size_t appGroup(const std::vector<Tag>& tags, std::size_t i) {
    for (; i < tags.size(); ++i) {
      m_common.appGroups.push_back(rawTagOf(tags[i], m_codec));
      if (tags[i].code == 102 && tags[i].text == "}") break;
    }
    return i;
  }

  bool entityData(const Tag& t) {
    switch (t.code) {
      case 8: m_common.layer = text(t); return true;
      case 6: m_common.linetype = text(t); return true;
      case 62: m_common.color.index = static_cast<std::int16_t>(t.integer); return true;
      case 420: m_common.color.rgb = static_cast<std::int32_t>(t.integer & 0xFFFFFF); return true;
      case 430: m_common.color.name = text(t); return true;
      case 370: m_common.lineweight = static_cast<std::int16_t>(t.integer); return true;
      case 48: m_common.linetypeScale = t.real; return true;
      case 60: m_common.invisible = t.integer != 0; return true;
      case 67: m_common.paperSpace = t.integer != 0; return true;
      default: return false;
    }
  }

  void addExtra(std::string_view subclass, const Tag& t) {
    if (subclass != m_lastMarker) {
      m_common.extras.push_back(RawTag{100, std::string(subclass)});
      m_lastMarker = std::string(subclass);
    }
    m_common.extras.push_back(rawTagOf(t, m_codec));
  }

  bool badHandle(const Tag& t) {
    m_error.set(t.valueLine(), "bad handle '" + std::string(t.text.substr(0, 40)) +
                                   "' for group code " + std::to_string(t.code));
    return false;
  }

  const TextCodec& m_codec;
  EntityCommon& m_common;
  DxfError& m_error;
  bool m_entityData = false;
  bool m_ownerSeen = false;
  std::string m_lastMarker;
  std::array<std::string_view, 4> m_own{};
  std::size_t m_ownCount = 0;
};

// Writes `extras` of one subclass (the tags after a "100 subclass" marker up to the next
// marker), without the marker. Subclass "" are the extras of a file without markers.
void writeExtrasOf(TagWriter& w, const RawTags& extras, std::string_view subclass,
                   const TextCodec& codec);
// Writes the extras whose subclass is not among `written`, each run with its marker when
// `markers` is set.
void writeOtherExtras(TagWriter& w, const RawTags& extras,
                      std::initializer_list<std::string_view> written, bool markers,
                      const TextCodec& codec);

// Reads the AcDbHatch tags of a HATCH record (in file order) into `hatch`; the tags after
// the seed points go to `rest`. False when they do not follow the HATCH layout.
bool parseHatch(const std::vector<Tag>& tags, const TextCodec& codec, HatchEntity& hatch,
                RawTags& rest);
// Writes the AcDbHatch tags of `hatch` (without the subclass marker).
void writeHatchBody(TagWriter& w, const HatchEntity& hatch, const TextCodec& codec);

}  // namespace contura::dxf::detail

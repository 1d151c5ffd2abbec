// The measures of a stored section, from the view library's reading of its text.
#include "SectionMeasures.h"

#include <VistrelSectionProperties.h>

CString sectionMeasuresText(const CString& sectionText) {
  const vistrel::SectionProperties p = vistrel::sectionProperties(sectionText.GetString());
  CString text("无法计算面积");
  if (p.result == vistrel::SectionProperties::kOk) text.Format("面积 %.10g 平方毫米，周长 %.10g 毫米", p.area, p.perimeter());
  return text;
}

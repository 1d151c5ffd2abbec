// The measures of a stored section as the library dialog shows them beside its preview.
#pragma once
#include <afx.h>

// "面积 A 平方毫米，周长 P 毫米" for the closed shapes of a section text (holes taken off the
// area, their edges counted in the perimeter; ten significant digits), or "无法计算面积" when
// the text holds no closed shape that can be measured.
CString sectionMeasuresText(const CString& sectionText);

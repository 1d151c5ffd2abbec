// Appending numbers to section text exactly as printf's "%g" and "%d" write them.
#pragma once
#include <afx.h>

#include <string>

namespace sectiontext {

// printf "%g": six significant digits, trailing zeros removed, exponent form with at least
// two exponent digits when the exponent is below -4 or at least 6 ("nan", "inf" as printf).
void appendG(std::string& out, double value);
void appendG(CString& out, double value);
// printf "%d".
void appendD(std::string& out, long value);
void appendD(CString& out, long value);

}  // namespace sectiontext

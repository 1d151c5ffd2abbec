// Where the DAO classes say what failed: the host installs a reporter that prints on the
// command line; tests install one to capture the lines.
#pragma once
#include <functional>
#include <string_view>

namespace contura::dao {

// Receives one message per failed DAO call (open, statement, recordset, field): code page 936
// text beginning with a line feed, as command-line messages do, naming the library file, what
// failed and what it means for the user's work. The exception the call throws is unchanged;
// this is said in addition to it, once per failure (a missing column is said once per
// recordset, not once per row).
using ErrorReporter = std::function<void(std::string_view cp936Line)>;

// Installs `reporter` and returns the one it replaces. An empty reporter restores the
// default, which writes each line, converted to UTF-8, to standard error.
ErrorReporter setErrorReporter(ErrorReporter reporter);

// Installs a reporter for the lifetime of the object and puts the previous one back after.
class ScopedErrorReporter {
public:
  explicit ScopedErrorReporter(ErrorReporter reporter) : m_previous(setErrorReporter(std::move(reporter))) {}
  ~ScopedErrorReporter() { setErrorReporter(std::move(m_previous)); }
  ScopedErrorReporter(const ScopedErrorReporter&) = delete;
  ScopedErrorReporter& operator=(const ScopedErrorReporter&) = delete;

private:
  ErrorReporter m_previous;
};

}  // namespace contura::dao

// Failures of the DAO classes put into words a person can act on, and said once through the
// reporter the host installs (contura/dao/error_report.h).
#pragma once
#include <afxdao.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "jet_sql.h"

namespace contura::dao {

// What the failed call was doing, which decides what the user is told was lost.
enum class Action { Open, Read, Insert, Update, Delete, Run, ReadField, Move, Save };

// The action a statement stands for.
Action actionFor(StatementKind kind);

struct FailureScene {
  Action action = Action::Run;
  CString name;                // the file as given to Open (code page 936); may be empty
  std::filesystem::path file;  // the native file, when known
  std::string statement;       // the statement as given, UTF-8, when there is one
  std::string table;           // the table the statement works on, when known
  std::string field;           // the field asked for (ReadField), code page 936
};

// The message for a failure with Jet number `jetCode` and the exception's description (code
// page 936): "\n库文件“name”（file）<cause>，<what was lost>。<what to do>", in code page 936.
std::string failureLine(const FailureScene& scene, long jetCode, std::string_view description);

// Says the failure through the installed reporter.
void reportFailure(const FailureScene& scene, const CDaoException& e);

// Counts the reporting calls under way on this thread, so that only the outermost says.
class ReportDepth {
public:
  ReportDepth();
  ~ReportDepth();
  ReportDepth(const ReportDepth&) = delete;
  ReportDepth& operator=(const ReportDepth&) = delete;
  bool outermost() const { return m_outermost; }

private:
  bool m_outermost;
};

// Runs `body`; a CDaoException* it throws is reported once (however deeply the calls that
// throw it nest) and thrown on. `scene()` is built only on failure, so success costs nothing.
template <typename Scene, typename Body>
decltype(auto) reportingFailures(Scene&& scene, Body&& body) {
  ReportDepth depth;
  try {
    return body();
  } catch (CDaoException* e) {
    if (depth.outermost()) reportFailure(scene(), *e);
    throw;
  }
}

}  // namespace contura::dao

// The wording of DAO failures for the command line, and the reporter that says them.
#include "failure_report.h"

#include <contura/dao/error_report.h>
#include <contura/dao/library_file.h>
#include <contura/os/codepage.h>

#include <cstdio>
#include <mutex>

#include "connection.h"

namespace contura::dao {
namespace {

// The reporter is installed by the host before work starts; the lock only keeps a change
// from racing a failure on another thread.
std::mutex g_reporterLock;
ErrorReporter g_reporter;

thread_local int t_reportDepth = 0;

std::string cp936(const std::string& utf8) { return os::utf8ToCp936(utf8); }

// The text after `marker` in `description` (code page 936), up to the first blank, bracket
// or comma.
std::string wordAfter(std::string_view description, std::string_view marker) {
  std::size_t at = description.find(marker);
  if (at == std::string_view::npos) return {};
  std::string_view rest = description.substr(at + marker.size());
  return std::string(rest.substr(0, rest.find_first_of(" ),\n")));
}

// "库文件“E:\x\lib.mdb”（/home/u/lib.mdb）": the name as given and, when different, the file.
std::string fileText(const FailureScene& scene) {
  std::string text = "库文件";
  const std::string native = cp936(scene.file.string());
  if (!scene.name.IsEmpty()) {
    // A server address given as the name is never shown with its password.
    const std::string name = isServerAddress(scene.name.str()) ? withoutPassword(scene.name.str()) : scene.name.str();
    text += "“" + name + "”";
    if (!native.empty() && native != name) text += "（" + native + "）";
  } else if (!native.empty()) {
    text += "“" + native + "”";
  }
  return text;
}

const char* lost(Action action) {
  switch (action) {
    case Action::Open: return "无法打开";
    case Action::Read: return "没有读出记录";
    case Action::Insert: return "新增的记录没有保存";
    case Action::Update: return "修改没有保存";
    case Action::Delete: return "记录没有删除";
    case Action::ReadField: return "这一列没有读出";
    case Action::Move: return "没有移到别的记录";
    case Action::Save: return "刚才新增的记录没有保存";
    case Action::Run: break;
  }
  return "语句没有执行";
}

bool isStatement(Action action) {
  return action == Action::Read || action == Action::Insert || action == Action::Update ||
         action == Action::Delete || action == Action::Run;
}

struct Cause {
  std::string text;    // follows the file's name directly
  std::string advice;  // a sentence of its own, or empty
};

Cause causeOf(const FailureScene& scene, long jetCode, std::string_view description) {
  const bool refused = jetCode == kJetSyntaxError || jetCode == kJetTextAfterEnd;
  if (refused && isStatement(scene.action) && hasStrayQuote(scene.statement))
    return {"：要写入的文字中含有单引号（'），语句因此无法执行",
            "请去掉名称、备注或截面文字中的单引号后重试。"};
  if (std::string table = wordAfter(description, "no such table: "); !table.empty())
    return {"中没有表“" + table + "”", "这个文件不是完整的截面库。"};
  // Names taken from the description or the scene's field are code page 936 already.
  std::string column = wordAfter(description, "no such column: ");
  if (column.empty()) column = wordAfter(description, "has no column named ");
  if (jetCode == kJetItemNotFound && !scene.field.empty()) column = scene.field;
  if (!column.empty()) {
    const std::string where = scene.table.empty() ? "的查询结果" : "的表“" + cp936(scene.table) + "”";
    return {where + "中没有列“" + column + "”", "这个文件不是完整的截面库。"};
  }
  switch (jetCode) {
    case kJetFileNotFound:
      return {"不存在", "请检查文件的位置。"};
    case kJetCannotOpen:
      if (description.find("it is a folder") != std::string_view::npos)
        return {"是一个文件夹，不是库文件", "请检查文件的位置。"};
      break;
    case kJetUnrecognizedFormat:
      return {"不是截面库（需要 SQLite 格式的库文件）", "请换用正确的截面库文件。"};
    case kJetInvalidPath:
      return {"的路径无法使用", "请检查盘符和路径。"};
    case kJetReadOnly:
      return {"是只读的", "请检查文件的写权限。"};
    case kJetLocked:
      return {"正被其他程序占用（已等待 " + std::to_string(busyTimeoutMs()) + " 毫秒）",
              "请稍后重试。"};
    case kJetCorrupt:
      return {"已损坏", "请换用完好的库文件。"};
    case kJetDiskIO:
      return {"读写出错（磁盘已满或文件无法访问）", "请检查磁盘。"};
    case kJetObjectNotOpen:
      return {"没有打开", ""};
    case kJetConnectionFailed:
      return {"所在的数据库服务器无法连接", "请检查服务器是否已启动，以及地址、端口和网络。"};
    case kJetInvalidLogon:
      return {"所在的数据库服务器不接受连接地址中的用户名或密码", "请检查用户名和密码。"};
    case kJetConnectionLost:
      return {"与数据库服务器的连接中断了", "请检查服务器和网络后重试。"};
    default:
      break;
  }
  return {"出错（" + std::string(description) + "）", ""};
}

void writeToStandardError(std::string_view line) {
  const std::string utf8 = os::cp936ToUtf8(line);
  std::fprintf(stderr, "%s\n", utf8.c_str() + (utf8.starts_with('\n') ? 1 : 0));
}

}  // namespace

Action actionFor(StatementKind kind) {
  switch (kind) {
    case StatementKind::Select: return Action::Read;
    case StatementKind::Insert: return Action::Insert;
    case StatementKind::Update: return Action::Update;
    case StatementKind::Delete: return Action::Delete;
    case StatementKind::Other: break;
  }
  return Action::Run;
}

std::string failureLine(const FailureScene& scene, long jetCode, std::string_view description) {
  const Cause cause = causeOf(scene, jetCode, description);
  std::string line = "\n" + fileText(scene) + cause.text + "，" + lost(scene.action) + "。" + cause.advice;
  return line;
}

void reportFailure(const FailureScene& scene, const CDaoException& e) {
  // Called while an exception is on its way: whatever happens here must not replace it.
  try {
    const CDaoErrorInfo* info = e.m_pErrorInfo;
    const std::string line = failureLine(scene, info ? info->m_lErrorCode : 0,
                                         info ? std::string_view(info->m_strDescription.str()) : "");
    ErrorReporter reporter;
    {
      std::lock_guard lock(g_reporterLock);
      reporter = g_reporter;
    }
    if (reporter)
      reporter(line);
    else
      writeToStandardError(line);
  } catch (...) {
  }
}

ReportDepth::ReportDepth() : m_outermost(t_reportDepth++ == 0) {}

ReportDepth::~ReportDepth() { --t_reportDepth; }

ErrorReporter setErrorReporter(ErrorReporter reporter) {
  std::lock_guard lock(g_reporterLock);
  ErrorReporter previous = std::move(g_reporter);
  g_reporter = std::move(reporter);
  return previous;
}

}  // namespace contura::dao

// The terminal backend: the program runs in a pseudo-terminal (tmux) and a person's keys are
// sent to it; the screen shows the dialog when it opens and what each action did.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

// How long to wait for the program to show something before the test gives up.
constexpr std::chrono::seconds kScreenWait{20};

std::string output(const std::string& command) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return text;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) text.append(buffer.data(), n);
  pclose(pipe);
  return text;
}

std::string quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

class Terminal {
public:
  Terminal() : m_socket("contura-ui-test-" + std::to_string(getpid())) {
    std::string program = "env LANG=C.UTF-8 CONTURA_MODULE=" + quote(EDITOR_MODULE) + " " + quote(CONTURA_PROGRAM);
    m_started = std::system(("tmux -u -L " + m_socket + " new-session -d -s ui -x 160 -y 60 " + quote(program)).c_str()) == 0;
  }
  ~Terminal() { std::system(("tmux -L " + m_socket + " kill-server 2>/dev/null").c_str()); }
  bool started() const { return m_started; }
  // Types a line and presses Enter.
  void type(const std::string& line) {
    std::system(("tmux -L " + m_socket + " send-keys -t ui -l " + quote(line)).c_str());
    std::system(("tmux -L " + m_socket + " send-keys -t ui Enter").c_str());
  }
  std::string screen() { return output("tmux -L " + m_socket + " capture-pane -p -J -S - -t ui"); }
  // Waits until the screen shows `text` (after `from` bytes); false when it never does.
  bool waitFor(const std::string& text) {
    auto deadline = std::chrono::steady_clock::now() + kScreenWait;
    while (std::chrono::steady_clock::now() < deadline) {
      if (screen().find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

private:
  std::string m_socket;
  bool m_started = false;
};

TEST(TerminalBackend, PersonDrivesADialogAndAPick) {
  if (std::system("command -v tmux >/dev/null") != 0) GTEST_SKIP() << "tmux is not installed";
  Terminal t;
  ASSERT_TRUE(t.started());
  ASSERT_TRUE(t.waitFor("命令: ")) << t.screen();
  t.type("dlg");
  // The terminal shows the dialog as it opens.
  ASSERT_TRUE(t.waitFor("  [1001] 列表框 3 行")) << t.screen();
  ASSERT_TRUE(t.waitFor("对话框“测试对话框”: ")) << t.screen();
  t.type("select 1001 2");
  ASSERT_TRUE(t.waitFor("选中 矩形（第 0 个加入）")) << t.screen();
  t.type("click 拾取");
  ASSERT_TRUE(t.waitFor("选择基点: ")) << t.screen();
  t.type("oops");
  ASSERT_TRUE(t.waitFor("点无效。")) << t.screen();
  t.type("@2,3");
  t.type("print 1002");
  ASSERT_TRUE(t.waitFor("  [1002] 编辑框 “2,3”")) << t.screen();
  t.type("ok");
  ASSERT_TRUE(t.waitFor("名称 = 2,3")) << t.screen();
  std::string last = t.screen();
  // What the person typed appears once, after its prompt.
  EXPECT_NE(last.find("对话框“测试对话框”: select 1001 2\n"), std::string::npos) << last;
  EXPECT_NE(last.find("选择基点: @2,3\n"), std::string::npos) << last;
  t.type("quit");
}

}  // namespace

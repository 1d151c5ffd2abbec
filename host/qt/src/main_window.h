// The main window of `contura --gui`: the drawing canvas, the command line below it, the
// layer panel beside it, the cursor's coordinates in the status bar, the File menu (open,
// save, save as, quit), a View menu (zoom to extents) and a menu of the module's commands.
#pragma once
#include <QLabel>
#include <QMainWindow>

#include <contura/dxf/codec.h>

#include <array>
#include <filesystem>
#include <memory>
#include <optional>

#include "canvas.h"
#include "command_panel.h"
#include "layer_panel.h"

class AcDbDatabase;
class QAction;
class QMenu;

namespace contura::qt {

class MainWindow : public QMainWindow {
  Q_OBJECT

public:
  // `drawing` is the working database, replaced when another drawing is opened.
  MainWindow(std::unique_ptr<AcDbDatabase>& drawing, std::optional<std::filesystem::path> path);
  ~MainWindow() override;

  Canvas* canvas() const { return m_canvas; }
  CommandPanel* commandPanel() const { return m_commandPanel; }
  LayerPanel* layerPanel() const { return m_layerPanel; }
  QLabel* coordinates() const { return m_coordinates; }
  QMenu* commandsMenu() const { return m_commandsMenu; }
  const std::optional<std::filesystem::path>& drawingPath() const { return m_path; }

  // Draws the working drawing again and lists its layers.
  void refresh();
  // Opening and saving drawings, and choosing commands from the menu, only at the command
  // prompt (never while a command runs).
  void setAtCommandPrompt(bool atPrompt);
  bool atCommandPrompt() const { return m_atPrompt; }

  // Whether the drawing differs from the file it was last read from or saved to (a new
  // drawing: from the new drawing it started as).
  bool isModified() const;
  // Reads a drawing into a database of its own; on success it becomes the working drawing,
  // on failure a message box says why and nothing changes. False on failure.
  bool openDrawing(const QString& path);
  bool saveDrawing();
  bool saveDrawingAs(const QString& path);
  // The DXF version saves write (from --dxf-version; "save as" lets the person choose
  // another, which later saves keep).
  void setSaveVersion(dxf::DxfVersion version) { m_saveVersion = version; }
  dxf::DxfVersion saveVersion() const { return m_saveVersion; }
  // Shows an error of the window's own in a message box.
  void showError(const QString& text);
  // With unsaved changes, asks whether to save them first. True to go on (saved or
  // discarded), false when the person cancelled.
  bool confirmDiscard();

signals:
  // A command chosen from the menu: its local name, as if typed at the prompt.
  void commandChosen(const QString& name);
  // The person closed the window (after agreeing to lose or save the changes).
  void closed();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  // The editor's current view when the window last followed it (a module that zooms changes it).
  std::array<double, 4> m_followedView{};
  void followEditorView();
  void buildMenus();
  void buildCommandsMenu();
  void chooseAndOpen();
  void chooseAndSaveAs();
  void remember();  // the drawing as it is now counts as saved
  void updateTitle();

  std::unique_ptr<AcDbDatabase>& m_drawing;
  std::optional<std::filesystem::path> m_path;
  dxf::DxfVersion m_saveVersion = dxf::kDefaultWriteVersion;
  std::size_t m_savedFingerprint = 0;
  bool m_atPrompt = false;
  Canvas* m_canvas;
  CommandPanel* m_commandPanel;
  LayerPanel* m_layerPanel;
  QLabel* m_coordinates;
  QMenu* m_commandsMenu = nullptr;
  QList<QAction*> m_promptOnly;
};

}  // namespace contura::qt

// The main window: its panels, menus, drawing files and the question before losing changes.
#include "main_window.h"

#include <accmd.h>
#include <dbapserv.h>
#include <dbmain.h>
#include <contura/dxf/dxf.h>
#include <contura/ed/editor_state.h>

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>


#include "dialog_font.h"
#include "drawing_file.h"
#include "text_codec.h"
#include "wait_hook.h"

namespace contura::qt {
namespace {

constexpr int kInitialWidth = 1100;
constexpr int kInitialHeight = 760;
const char* const kDrawingFilter = "DXF 图形 (*.dxf *.DXF);;所有文件 (*)";

QString saveFilterOf(dxf::DxfVersion version) {
  return QString("DXF %1 图形 (*.dxf *.DXF)").arg(dxf::nameOf(version));
}

std::array<double, 4> viewKey(const ed::DisplayedView& v) { return {v.center[0], v.center[1], v.width, v.height}; }

}  // namespace

MainWindow::MainWindow(std::unique_ptr<AcDbDatabase>& drawing, std::optional<std::filesystem::path> path)
    : m_drawing(drawing), m_path(std::move(path)) {
  resize(kInitialWidth, kInitialHeight);
  m_canvas = new Canvas(this);
  setCentralWidget(m_canvas);

  m_commandPanel = new CommandPanel(this);
  auto* commandDock = new QDockWidget("命令行", this);
  commandDock->setObjectName("commandLine");
  commandDock->setWidget(m_commandPanel);
  commandDock->setFeatures(QDockWidget::DockWidgetMovable);
  addDockWidget(Qt::BottomDockWidgetArea, commandDock);

  m_layerPanel = new LayerPanel(this);
  auto* layerDock = new QDockWidget("图层", this);
  layerDock->setObjectName("layers");
  layerDock->setWidget(m_layerPanel);
  layerDock->setFeatures(QDockWidget::DockWidgetMovable);
  addDockWidget(Qt::RightDockWidgetArea, layerDock);

  m_coordinates = new QLabel(this);
  m_coordinates->setMinimumWidth(220);
  statusBar()->addPermanentWidget(m_coordinates);

  // Keys typed over the canvas go to the command line, as in a CAD program.
  m_canvas->setFocusProxy(m_commandPanel->input());
  connect(m_canvas, &Canvas::cursorMoved, this, [this](QPointF world) {
    m_coordinates->setText(m_canvas->pointText(world).replace(",", ", "));
  });
  connect(m_layerPanel, &LayerPanel::layerChanged, this, [this](const QString& name, bool on, bool frozen) {
    if (!m_drawing || !setLayerState(*m_drawing, name, on, frozen)) showError("无法修改图层“" + name + "”。");
    refresh();
  });
  buildMenus();
  remember();
  m_followedView = viewKey(ed::displayedView());
  refresh();
  updateTitle();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu("文件(&F)");
  QAction* open = file->addAction("打开(&O)...", this, &MainWindow::chooseAndOpen);
  open->setShortcut(QKeySequence::Open);
  QAction* save = file->addAction("保存(&S)", this, [this] { saveDrawing(); });
  save->setShortcut(QKeySequence::Save);
  QAction* saveAs = file->addAction("另存为(&A)...", this, &MainWindow::chooseAndSaveAs);
  file->addSeparator();
  QAction* quit = file->addAction("退出(&X)", this, &QWidget::close);
  quit->setShortcut(QKeySequence::Quit);
  m_promptOnly << open << save << saveAs;

  QMenu* view = menuBar()->addMenu("视图(&V)");
  view->addAction("范围缩放(&E)", m_canvas, &Canvas::zoomExtents);
  buildCommandsMenu();
  setAtCommandPrompt(false);
}

void MainWindow::buildCommandsMenu() {
  m_commandsMenu = menuBar()->addMenu("命令(&C)");
  AcEdCommandStack* stack = acedRegCmds;
  if (stack == nullptr) return;
  std::unique_ptr<AcEdCommandIterator> it(stack->iterator());
  for (; it && !it->done(); it->next()) {
    const AcEdCommand* command = it->command();
    QString local = fromCp936(command->localName());
    QString global = fromCp936(command->globalName());
    QString label = local == global ? global : local + "  (" + global + ")";
    QAction* action = m_commandsMenu->addAction(label, this, [this, local] { emit commandChosen(local); });
    m_promptOnly << action;
  }
}

void MainWindow::setAtCommandPrompt(bool atPrompt) {
  m_atPrompt = atPrompt;
  for (QAction* action : m_promptOnly) action->setEnabled(atPrompt);
}

void MainWindow::refresh() {
  if (!m_drawing) return;
  // What a command changed is followed in the index; a new index only when that cannot be.
  if (!m_canvas->followDrawingChanges(*m_drawing)) m_canvas->setScene(DrawingIndex(*m_drawing));
  m_layerPanel->showLayers(layersOf(*m_drawing));
  followEditorView();
}

// A view a command made current (a zoom to an entity or a window) is shown; the view of a
// new session or drawing is not, so the drawing's extents stay fitted until a command zooms.
void MainWindow::followEditorView() {
  const ed::DisplayedView view = ed::displayedView();
  if (viewKey(view) == m_followedView) return;
  m_followedView = viewKey(view);
  m_canvas->showView(QPointF(view.center[0], view.center[1]), view.width, view.height);
}

bool MainWindow::isModified() const { return m_drawing && host::drawingFingerprint(*m_drawing) != m_savedFingerprint; }

void MainWindow::remember() { m_savedFingerprint = m_drawing ? host::drawingFingerprint(*m_drawing) : 0; }

void MainWindow::updateTitle() {
  QString name = m_path ? QString::fromStdString(m_path->filename().string()) : QString("新图形");
  setWindowTitle("Contura - " + name);
}

void MainWindow::showError(const QString& text) {
  QMessageBox box(QMessageBox::Warning, "Contura", text, QMessageBox::NoButton, this);
  box.addButton("确定", QMessageBox::AcceptRole);
  box.setFont(dialogFont());
  announceWait(WaitKind::kMessageBox);
  box.exec();
}

bool MainWindow::openDrawing(const QString& path) {
  auto opened = std::make_unique<AcDbDatabase>(false);
  dxf::DxfError error;
  dxf::ReadReport report;
  if (dxf::readDxf(path.toStdString(), *opened, error, &report) != Acad::eOk) {
    showError("无法打开图形 " + path + "：\n" + QString::fromStdString(error.text()));
    return false;
  }
  acdbHostApplicationServices()->setWorkingDatabase(opened.get());
  std::swap(m_drawing, opened);
  opened.reset();  // the drawing that was open before
  ed::resetEditor();
  m_followedView = viewKey(ed::displayedView());
  m_path = std::filesystem::path(path.toStdString());
  remember();
  updateTitle();
  refresh();
  // What the read converted or kept raw, on the command line as the terminal shows it.
  for (const std::string& line : report.lines()) m_commandPanel->appendText(QString::fromStdString(line) + "\n");
  m_canvas->zoomExtents();
  return true;
}

bool MainWindow::saveDrawing() {
  if (!m_path) {
    chooseAndSaveAs();
    return m_path.has_value() && !isModified();
  }
  return saveDrawingAs(QString::fromStdString(m_path->string()));
}

bool MainWindow::saveDrawingAs(const QString& path) {
  if (!m_drawing) return false;
  dxf::DxfError error;
  dxf::WriteWarnings warnings;
  dxf::WriteOptions options;
  options.version = m_saveVersion;
  if (dxf::writeDxf(*m_drawing, path.toStdString(), options, error, &warnings) != Acad::eOk) {
    showError("无法保存图形 " + path + "：\n" + QString::fromStdString(error.text()));
    return false;
  }
  m_path = std::filesystem::path(path.toStdString());
  remember();
  updateTitle();
  if (!warnings.empty()) {
    // What the chosen version could not hold is said, as the command line says it.
    QString text = "图形已保存为 " + QString(dxf::nameOf(m_saveVersion)) + "，但：";
    for (const auto& [warning, count] : warnings)
      text += "\n" + QString::fromStdString(warning) + QString("（%1 处）").arg(count);
    showError(text);
  }
  return true;
}

void MainWindow::chooseAndOpen() {
  if (!m_atPrompt || !confirmDiscard()) return;
  QFileDialog dialog(this, "打开图形", m_path ? QString::fromStdString(m_path->parent_path().string()) : QString(),
                     kDrawingFilter);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  announceWait(WaitKind::kFileDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  openDrawing(dialog.selectedFiles().front());
}

void MainWindow::chooseAndSaveAs() {
  QFileDialog dialog(this, "另存为", m_path ? QString::fromStdString(m_path->string()) : QString());
  QStringList filters;
  for (dxf::DxfVersion v : host::kSaveVersions) filters << saveFilterOf(v);
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(saveFilterOf(m_saveVersion));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("dxf");
  announceWait(WaitKind::kFileDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  for (dxf::DxfVersion v : host::kSaveVersions)
    if (dialog.selectedNameFilter() == saveFilterOf(v)) m_saveVersion = v;
  saveDrawingAs(dialog.selectedFiles().front());
}

bool MainWindow::confirmDiscard() {
  if (!isModified()) return true;
  QMessageBox box(QMessageBox::Question, "Contura", "图形已修改。保存修改吗？", QMessageBox::NoButton, this);
  QPushButton* save = box.addButton("保存", QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton("不保存", QMessageBox::DestructiveRole);
  QPushButton* cancel = box.addButton("取消", QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.setEscapeButton(cancel);
  box.setFont(dialogFont());
  announceWait(WaitKind::kMessageBox);
  box.exec();
  if (box.clickedButton() == discard) return true;
  if (box.clickedButton() == save) return saveDrawing();
  return false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!confirmDiscard()) {
    event->ignore();
    return;
  }
  event->accept();
  emit closed();
}

}  // namespace contura::qt

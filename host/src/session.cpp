// One run of `contura`: options, module loading, the command prompt, unloading.
#include "session.h"

#include "command_prompt.h"
#include "console.h"
#include "drawing_file.h"
#include "host_ui.h"
#include "input.h"
#include "line_editor.h"
#include "library_report.h"
#include "new_library.h"
#include "options.h"
#include "window_frontend.h"

#include <Draw2DPreview.h>
#include <acutads.h>
#include <dbapserv.h>
#include <dbmain.h>
#include <contura/dao/error_report.h>
#include <contura/dao/library_file.h>
#include <contura/db/host_services.h>
#include <contura/dxf/dxf.h>
#include <contura/ed/editor_state.h>
#include <contura/ed/print_sink.h>
#include <contura/os/codepage.h>
#include <contura/os/paths.h>
#include <contura/rx/app_loader.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <system_error>

#include <unistd.h>

#ifndef CONTURA_VERSION
#define CONTURA_VERSION "unknown"
#endif

namespace contura::host {
namespace {

int usageError(std::ostream& err, const std::string& message) {
  err << "contura: " << message << " (try 'contura --help')\n";
  return kExitUsage;
}

// The folder of the running program.
std::filesystem::path programFolder() {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path(ec) : self.parent_path();
}

// Unloads every module when the run ends, however it ends.
class LoadedModules {
public:
  LoadedModules() = default;
  ~LoadedModules() { rx::unloadAllApplications(); }
  LoadedModules(const LoadedModules&) = delete;
  LoadedModules& operator=(const LoadedModules&) = delete;
};

}  // namespace

std::filesystem::path modulePath() {
  const char* overridden = std::getenv("CONTURA_MODULE");
  if (overridden != nullptr && *overridden != '\0') return overridden;
  return programFolder() / "Contura.arx";
}

int runProgram(const std::vector<std::string>& args, const std::filesystem::path& module,
               Streams streams) {
  ParseResult parsed = parseOptions(args);
  if (!parsed.ok()) return usageError(streams.err, parsed.error);
  const Options& options = parsed.options;
  if (options.help) {
    streams.out << usageText(windowFrontEnd() != nullptr);
    return kExitOk;
  }
  if (options.version) {
    streams.out << "contura " << CONTURA_VERSION << "\n";
    return kExitOk;
  }
  std::vector<std::string> unavailable = unavailableOptions(options);
  if (windowFrontEnd()) std::erase(unavailable, std::string("--gui"));  // this build has its window
  if (options.gui && options.script) return usageError(streams.err, "--gui and --script cannot be used together");
  if (!unavailable.empty())
    return usageError(streams.err, unavailable.front() + ": this build cannot do that yet");

  for (const DriveMapping& drive : options.drives) os::driveMap().map(drive.letter, drive.dir);
  db::setSupportPaths(supportFolders(options, std::getenv("CONTURA_FONTS")));
  if (!dxf::setReadCodePage(options.readCodePage.value_or(std::string())))
    return usageError(streams.err, "--dxf-encoding: no code page '" + *options.readCodePage + "' on this system");
  if (options.previewDir) {
    // Refused at once rather than each preview failing unseen later.
    std::error_code madeDir;
    std::filesystem::create_directories(*options.previewDir, madeDir);
    if (madeDir || ::access(options.previewDir->c_str(), W_OK) != 0)
      return usageError(streams.err, "--preview-dir '" + options.previewDir->string() + "' cannot be written" +
                                         (madeDir ? ": " + madeDir.message() : std::string()));
    Draw2DSetPreviewDirectory(os::utf8ToCp936(std::filesystem::absolute(*options.previewDir).string()).c_str());
  }
  // The module's fixed library path leads where --library (or CONTURA_LIBRARY) says: a file or
  // a team's library on a server. Without either it stays a file through the drive map.
  const char* libraryVariable = std::getenv("CONTURA_LIBRARY");
  std::string library = options.library.value_or(libraryVariable ? libraryVariable : "");
  dao::routeLibrary(kModuleLibraryPath, library);
  if (options.copyLibrary.size() == 2)  // a task of its own: copy and end
    return copyLibraries(options.copyLibrary[0], options.copyLibrary[1], streams.out, streams.err) ? kExitOk
                                                                                                    : kExitError;
  // A server library is read through the fixed path led to it, so that no message or page
  // shows the password of its address.
  if (options.libraryReport)  // a task of its own: write the catalogue and end
    return writeLibraryReport(*options.libraryReport, dao::isServerAddress(library) ? std::string() : library,
                              streams.out, streams.err)
               ? kExitOk
               : kExitError;
  if (options.newLibrary)  // a task of its own: make the file and end
    return createNewLibrary(*options.newLibrary, streams.out, streams.err) ? kExitOk : kExitError;

  std::ifstream scriptFile;
  std::istream* in = &streams.in;
  if (options.script && *options.script != "-") {
    std::error_code ec;
    if (!std::filesystem::is_directory(*options.script, ec)) scriptFile.open(*options.script);
    if (!scriptFile.is_open())
      return usageError(streams.err, "cannot read script '" + *options.script + "'");
    in = &scriptFile;
  }

  Console console(streams.out);
  std::unique_ptr<InputSource> input;
  if (options.script)
    input = std::make_unique<ScriptInput>(*in, console);
  else if (&streams.in == &std::cin && &streams.out == &std::cout && LineEditorInput::available())
    input = std::make_unique<LineEditorInput>(console, historyFile());
  else
    input = std::make_unique<TerminalInput>(*in, console);

  // The module's dialogs, file dialogs, message boxes, points, picks and selections are
  // answered from the same input as the command prompt.
  ed::resetEditor();
  if (options.pickbox) ed::setPickBox(*options.pickbox);
  ScopedHostUi ui(*input, console);

  ed::ScopedPrintSink sink([&console](std::string_view text) { console.writeModuleText(text); });
  // What a library file operation failed on goes to the command line, wherever the
  // command-line text goes at the time (the console, or the window's command line).
  dao::ScopedErrorReporter libraryErrors(
      [](std::string_view line) { acutPrintf("%s", std::string(line).c_str()); });
  LoadedModules modules;
  // Contura.arx first, then the modules of --load in the order given; unloading goes the other
  // way round, so a module built against Contura.arx never outlives it.
  std::vector<std::filesystem::path> toLoad{module};
  toLoad.insert(toLoad.end(), options.modules.begin(), options.modules.end());
  for (const std::filesystem::path& file : toLoad) {
    std::string error;
    if (!rx::loadApplication(file, error)) {
      streams.err << "contura: " << error << "\n";
      return kExitError;
    }
  }
  // The drawing commands work on: a new one (layer "0", model space) until drawing files
  // are opened here. It goes before the modules: objects of a class a module's library
  // defines (the variable entity) need that library's code to be deleted.
  // DRAWING.dxf is read into a database of its own, so a file that cannot be read leaves
  // nothing half-made behind.
  dxf::installDrawingFileIo();
  auto drawing = std::make_unique<AcDbDatabase>(!options.drawing);
  std::string openError;
  dxf::ReadReport readReport;
  if (options.drawing) {
    dxf::DxfError dxfError;
    if (dxf::readDxf(options.drawing->string(), *drawing, dxfError, &readReport) != Acad::eOk) {
      if (!options.gui) {
        streams.err << "contura: " << options.drawing->string() << ": " << dxfError.text() << "\n";
        return kExitError;
      }
      // The window says so and starts with a new drawing.
      openError = options.drawing->string() + ": " + dxfError.text();
      drawing = std::make_unique<AcDbDatabase>(true);
    }
  }
  acdbHostApplicationServices()->setWorkingDatabase(drawing.get());
  int windowStatus = kExitOk;
  if (options.gui) {
    WindowSession window{options, drawing, openError.empty() ? options.drawing : std::nullopt, openError};
    windowStatus = windowFrontEnd()->run(window);
  } else {
    // What reading the drawing converted or kept raw, before the first prompt.
    for (const std::string& line : readReport.lines()) {
      console.beginPrompt();
      console.write(line + "\n");
    }
    DrawingDocument document(drawing, options.drawing, options.saveVersion);
    PromptEnd end = runCommandPrompt(*input, console, {&document, options.save.has_value()});
    // A person who answered QUIT's question chose; anyone else is told what was not kept.
    bool personChose = input->interactive() && end == PromptEnd::Quit;
    if (!options.save && !personChose && document.isModified())
      streams.err << kUnsavedChangesNote;
  }
  acdbHostApplicationServices()->setWorkingDatabase(nullptr);
  int status = windowStatus;
  if (options.save) {  // --save FILE: the drawing as it is when input ends
    std::string error;
    dxf::WriteWarnings warnings;
    if (!writeDrawing(*drawing, *options.save, options.saveVersion, error, warnings)) {
      streams.err << "contura: " << options.save->string() << ": " << error << "\n";
      status = kExitError;
    }
    for (const auto& [warning, count] : warnings) streams.err << "contura: " << warning << " (" << count << ")\n";
  }
  drawing.reset();
  rx::unloadAllApplications();
  console.finish();
  return status;
}

}  // namespace contura::host

// Settings the host program gives the database's default host application services.
#pragma once
#include <filesystem>
#include <vector>

namespace contura::db {

// Folders findFile searches for relative names after the drawing's folder and the current
// folder (fonts, patterns, external references), in order.
void setSupportPaths(std::vector<std::filesystem::path> folders);
const std::vector<std::filesystem::path>& supportPaths();

}  // namespace contura::db

// Replacing a file's whole content so that it always holds either its old or its new content,
// and only when the file is one a user would expect to be replaced.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace contura::os {

// Writes `content` as the new content of the file at `target`. Empty on success; otherwise a
// line of UTF-8 text a person can act on (it names the file and the cause), and the target is
// as it was.
//
// - Symbolic links are followed (chains too, relative links against their own folder): the
//   file they lead to is replaced and the links stay. A link that leads nowhere yet gets its
//   file created.
// - An existing target must be a regular file: a device, a pipe, a socket or a folder is
//   refused and nothing is written anywhere.
// - An existing target that this process may not write, or that has no write permission bit
//   at all, is refused as read-only (a superuser, whom permissions do not stop, is stopped
//   by the missing bits too).
// - The new file keeps the old one's permission bits, owner and group (owner and group as far
//   as the process may set them: only a superuser can give a file away); a new file gets
//   0666 less the umask. Hard links to the old file keep the old content.
// - The new content goes to a temporary file beside the target, ".NAME.PID.contura-tmp", is
//   synced, renamed over the target, and the folder is synced: after a crash at any moment the
//   target holds one of the two contents. Before writing, temporary files of the same target
//   left by processes that no longer run are removed, so a killed save leaves no lasting
//   litter.
std::string replaceFile(const std::filesystem::path& target, std::string_view content);

// The same replacement in steps, for content written through a stream of one's own: a
// temporary file beside the final target, with the target's attributes already set, that
// the writer fills and then commits or abandons. replaceFile is these three steps.
struct StagedReplacement {
  std::filesystem::path target;     // the file the links finally lead to
  std::filesystem::path temporary;  // ".NAME.PID.contura-tmp" beside it, empty and writable
};

// Checks the target as replaceFile does and creates the temporary file. Empty on success;
// otherwise the reason, and nothing was made.
std::string stageReplacement(const std::filesystem::path& requested, StagedReplacement& staged);
// Syncs the temporary file, renames it over the target and syncs the folder. Empty on
// success; otherwise the reason, the temporary file is gone and the target is as it was.
std::string commitReplacement(const StagedReplacement& staged);
// Removes the temporary file; the target is as it was.
void abandonReplacement(const StagedReplacement& staged);

// The file a path finally leads to through symbolic links (the path itself when it is no
// link). Empty text in `error` on success; else why it cannot be resolved (a loop, a chain
// over 40 links, an unreadable link).
std::filesystem::path finalTarget(const std::filesystem::path& path, std::string& error);

}  // namespace contura::os

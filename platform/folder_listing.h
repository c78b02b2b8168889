// Reading a folder one matching name at a time, and deleting what was listed.
#pragma once

#include <memory>
#include <string>

namespace tarnwell::platform {

// A stream over the ordinary files of one folder whose names match a wildcard pattern
// ("*" any run, "?" one character, letters compared ignoring case). Folders, hidden and
// system entries, and on POSIX anything but a regular file, are never listed. Only the
// current directory entry is held, so a folder of any size reads in constant memory.
class FolderListing {
 public:
  // Opens `folder` (as given: "\" and "/" both separate) for `pattern`. A folder that is
  // not there lists nothing; one that is there but cannot be read raises
  // kPathFileAccessError.
  FolderListing(const std::string& folder, const std::string& pattern);
  ~FolderListing();

  FolderListing(const FolderListing&) = delete;
  FolderListing& operator=(const FolderListing&) = delete;

  // The next matching name (without folder), or "" when the listing is exhausted. Names
  // come in the file system's order; deleting listed entries does not disturb it.
  std::string Next();

  // Deletes the entry `name` of the listed folder. False when it cannot be deleted: a
  // read-only file (on POSIX one without any write permission bit), a vanished file, a
  // denied access.
  bool DeleteEntry(const std::string& name);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tarnwell::platform

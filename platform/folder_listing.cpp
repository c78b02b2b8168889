// What a folder listing does alike on every system; each system's reading of the folder
// and its deletion are in platform/posix/ and platform/win32/.
#include "platform/folder_listing.h"

#include <algorithm>

namespace tarnwell::platform {

void FolderListing::OrderForDeletion(std::vector<ListedEntry>* entries) const {
  // Windows numbers an entry by its place in the batch, so the same sort keeps its order.
  std::sort(entries->begin(), entries->end(),
            [](const ListedEntry& a, const ListedEntry& b) { return a.id_ < b.id_; });
}

}  // namespace tarnwell::platform

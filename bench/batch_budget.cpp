// batch_budget DIR BYTES: deletes the old dated logs directly inside DIR the way the sweep
// does (batches, the old files of each in the listing's order for deletion, deleted by the
// sweep's own threads: TARNWELL_DELETE_THREADS counts), but with batches of BYTES instead
// of the program's own size, and prints how many it deleted. bench/batch_budget.sh times
// it against find at several sizes.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/batch_deletion.h"
#include "general/log_age.h"
#include "platform/folder_listing.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: batch_budget DIR BYTES\n");
    return 2;
  }
  using tarnwell::platform::ListedEntry;
  tarnwell::platform::FolderListing listing(std::strtoull(argv[2], nullptr, 10));
  if (!listing.Open(argv[1], "*.????????.log").done()) return 1;
  std::vector<ListedEntry> batch;
  tarnwell::Report report({}, "", "");
  tarnwell::SweepResult result;
  while (listing.NextBatch(&batch).done()) {
    const tarnwell::AgeLimit limit = tarnwell::AgeLimit::FromClock(7);
    std::erase_if(batch, [&](const ListedEntry& entry) { return !limit.IsOlder(entry.name); });
    listing.OrderForDeletion(&batch);
    tarnwell::DeleteEntries(listing, batch, argv[1], {}, report, result);
  }
  std::printf("%ld\n", static_cast<long>(result.deleted));
  return 0;
}

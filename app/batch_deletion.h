// The deletion of one batch of a sweep, shared out over a few threads. On ext4 most of an
// unlink's time is spent after the folder's lock is released (freeing the inode and its
// blocks in the journal), so deletions in one folder overlap well.
#pragma once

#include <string>
#include <vector>

#include "app/report.h"
#include "app/sweep.h"
#include "general/run_plan.h"
#include "platform/folder_listing.h"

namespace tarnwell {

// Deletes (with `choices.what_if`: judges) `entries` of the current batch of `listing`,
// opened on the folder `used`, each as FolderListing::DeleteEntry does, and adds what came
// of each to `result` as Sweep counts it. Everything that decides which files go (the age,
// /Keep) has been decided before: `entries` are the files that go.
//
// `entries` are first put in the order the file system deletes fastest
// (FolderListing::OrderForDeletion), then cut into contiguous shares of that order, one a
// thread; the caller's thread takes the first share. How many threads:
// `choices.deletion_threads` when not 0, else the environment's TARNWELL_DELETE_THREADS
// when it holds a whole number from 1 to 64 (read once), else one a core up to
// FolderListing::MostDeletingThreads (4), fewer where a thread would get fewer than 64
// entries; never more than there are entries. A thread that cannot be started leaves its
// share to the caller's.
//
// The counts are exact. `result.first_reason` is that of the failure earliest in that
// order, as if one thread had deleted them all. With `choices.list` each file's path goes to
// `report` as one line just after the file goes, from the thread that deleted it: in each
// share's order, the shares' lines mixed. An exception in any thread (std::bad_alloc while
// writing a line) stops the others before their next entry and is raised here once every
// thread has ended; what the batch came to is then lost with it.
void DeleteEntries(platform::FolderListing& listing, std::vector<platform::ListedEntry>& entries,
                   const std::string& used, const RunChoices& choices, Report& report,
                   SweepResult& result);

}  // namespace tarnwell

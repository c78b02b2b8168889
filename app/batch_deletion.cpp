#include "app/batch_deletion.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/path_text.h"

namespace tarnwell {
namespace {

// Starting and joining a thread costs some 55 us, about what deleting 5 files does (a
// PVM guest, docs/speed.md); with fewer entries than this a thread gains too little to
// be worth having.
constexpr std::size_t kLeastEntriesPerThread = 64;
constexpr unsigned kMostForcedThreads = 64;

// TARNWELL_DELETE_THREADS, a knob for measuring: a whole number from 1 to
// kMostForcedThreads in decimal digits, else 0 (the program chooses).
unsigned ForcedThreads() {
  const char* text = std::getenv("TARNWELL_DELETE_THREADS");
  if (text == nullptr) return 0;
  const std::string_view digits(text);
  unsigned count = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
  const bool whole = error == std::errc() && end == digits.data() + digits.size();
  return whole && count <= kMostForcedThreads ? count : 0;
}

std::size_t ThreadsFor(unsigned asked, std::size_t entries) {
  static const unsigned kForced = ForcedThreads();
  std::size_t threads = asked != 0 ? asked : kForced;
  if (threads == 0) {
    // Read once: glibc reads /sys for it at every call, and a walk through a thousand
    // sub-folders asks once a folder.
    static const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t worth = platform::FolderListing::MostDeletingThreads();
    threads = std::min({cores, worth, entries / kLeastEntriesPerThread});
  }
  return std::clamp<std::size_t>(threads, 1, std::max<std::size_t>(entries, 1));
}

// What one share of the entries came to.
struct Share {
  SweepResult counts;  // the share's alone, its first reason that of its own first failure
  std::exception_ptr error;
};

}  // namespace

void DeleteEntries(platform::FolderListing& listing, std::vector<platform::ListedEntry>& entries,
                   const std::string& used, const RunChoices& choices, Report& report,
                   SweepResult& result) {
  if (entries.empty()) return;
  // In the order the file system deletes fastest.
  listing.OrderForDeletion(&entries);
  const std::size_t threads = ThreadsFor(choices.deletion_threads, entries.size());
  std::vector<Share> shares(threads);
  std::atomic<bool> stop = false;
  // Never raises: what it meets goes into its share, for the caller's thread.
  const auto delete_share = [&](std::size_t index) {
    Share& share = shares[index];
    try {
      const auto from = entries.begin() + entries.size() * index / threads;
      const auto to = entries.begin() + entries.size() * (index + 1) / threads;
      for (auto entry = from; entry != to && !stop.load(std::memory_order_relaxed); ++entry) {
        platform::FileSize size;
        const platform::OsResult gone = choices.what_if ? listing.WouldDeleteEntry(*entry, &size)
                                                        : listing.DeleteEntry(*entry, &size);
        SweepResult& counts = share.counts;
        if (gone.failed()) {
          const platform::DeletionFailure kind = platform::KindOfFailure(gone);
          if (kind != platform::DeletionFailure::kReadOnly && counts.Unmeant() == 0) {
            counts.first_reason = gone.reason;
          }
          ++counts.not_deleted[static_cast<std::size_t>(kind)];
        }
        if (!gone.done()) continue;
        if (choices.list) report.Record(platform::EntryPath(used, entry->name));
        ++counts.deleted;
        counts.bytes += size.length;
        // Another name keeps the file's blocks in use.
        if (size.links == 1) counts.freed += size.allocated;
      }
    } catch (...) {
      share.error = std::current_exception();
      stop = true;
    }
  };
  {
    std::vector<std::jthread> workers;
    workers.reserve(threads - 1);
    std::size_t started = 1;
    try {
      for (; started < threads; ++started) workers.emplace_back(delete_share, started);
    } catch (...) {
      // Out of threads or memory for one: the shares left are the caller's.
    }
    delete_share(0);
    for (std::size_t index = started; index < threads; ++index) delete_share(index);
  }  // joined here
  for (const Share& share : shares) {
    if (share.error) std::rethrow_exception(share.error);
  }
  // In the order of `entries`, so the first reason is the earliest failure's.
  for (const Share& share : shares) AddResult(share.counts, result);
}

}  // namespace tarnwell

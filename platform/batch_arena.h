// The part of a folder listing that is the same on every system: where one batch of names
// lives, how many bytes it may take, when a failure met while reading is told, and which
// names can be entries at all. Each system's listing (platform/posix/, platform/win32/)
// supplies only its reading of the folder, one entry at a time, and its deletion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/folder_listing.h"
#include "platform/os_result.h"

namespace tarnwell::platform {

// An entry as a system's reader finds it, before a batch keeps a copy.
struct FoundEntry {
  std::string_view name;  // UTF-8, as the batch hands it out
  std::uint64_t id = 0;   // the listed entry's key, unless it comes with a `form`
  // The system's own spelling of the name, kept beside it when not empty, for a deletion
  // that must name the entry exactly as listed (Windows: UTF-16, which need not survive the
  // trip through UTF-8). An entry kept with a form gets its place in the batch as its id;
  // a source gives a form with every entry or with none.
  std::string_view form;
};

// One system's reading of an open folder: the entries that belong in the listing, in the
// system's order.
class EntrySource {
 public:
  // Reads the next entry.
  //  kDone:     `*found` holds it; its views stay valid until the next call.
  //  kNotThere: the folder is read to its end.
  //  kFailed:   reading failed; `reason` says why.
  virtual OsResult Next(FoundEntry* found) = 0;

 protected:
  ~EntrySource() = default;
};

// The storage of a listing's current batch. Names (and forms) are copied into one block
// that is allocated at the first batch and never grown, so the views handed out stay put
// and pages a batch never reaches cost no memory. A batch stops once its names, forms and
// entries (the caller's vector, reserved here once) take `budget` bytes, so a folder of any
// size is read in the same memory: `budget` plus one entry at most.
class BatchArena {
 public:
  // `largest`: the most bytes one entry's name and form can take; that much is allocated
  // beyond `budget`, so an entry once read always finds room.
  BatchArena(std::size_t budget, std::size_t largest);

  // Takes over the block and the places of `other` (of the same budget and largest), so a
  // folder read again needs no second block; both start with no batch.
  void TakeStorage(BatchArena& other);

  // Forgets the batch, an end met and a failure held, for a source read again from its
  // start.
  void Restart();

  // Replaces `*batch` with the next entries of `source`, in its order. An entry whose
  // name and form together take more than `largest` bytes is left out (no system call
  // could name it). A failure met after some entries of a batch is held: those entries go
  // out now, the failure from the next call.
  //  kDone:     `*batch` holds at least one entry, valid until the next Fill.
  //  kNotThere: `source` is at its end; `*batch` is empty, and stays so on later calls.
  //  kFailed:   reading failed before any entry of this batch; `reason` is the source's.
  OsResult Fill(EntrySource& source, std::vector<ListedEntry>* batch);

  // The form kept with `entry` of the current batch. Empty when `entry` was kept without
  // one or is not an entry of the current batch.
  std::string_view FormOf(const ListedEntry& entry) const;

 private:
  // Where one entry kept with a form lies in `bytes_`: its name, NUL, then the form.
  struct Placed {
    std::uint32_t name_at, form_at, end;
  };
  // The bytes the current batch takes with `entries` entries.
  std::size_t Spent(std::size_t entries) const;
  // Copies `found` into the block; false when it does not fit in `largest_`.
  bool Keep(const FoundEntry& found, ListedEntry* kept);

  const std::size_t budget_, largest_;
  std::unique_ptr<char[]> bytes_;
  std::size_t used_ = 0;
  std::vector<Placed> placed_;  // one per entry, in batch order, when forms are kept
  OsResult held_ = OsResult::Done();
  bool ended_ = false;
};

// Whether `name` can be an entry of a folder: not empty, not "." or "..", and holding no
// NUL (which would cut it short) and none of the system's `separators` (which would lead
// out of the folder): "/" on POSIX, where a name may hold "\", and "\" and "/" on Windows.
bool IsEntryName(std::string_view name, std::string_view separators);

}  // namespace tarnwell::platform

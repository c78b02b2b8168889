// Reading a folder in bounded batches of matching names, and deleting what was listed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os_result.h"

namespace tarnwell::platform {

// One listed file: its name, and the listing's own key to it, which only the listing reads
// (see FolderListing::OrderForDeletion).
class ListedEntry {
 public:
  ListedEntry() = default;

  std::string_view name;  // without folder; valid until the listing's next batch

 private:
  friend class BatchArena;
  friend class FolderListing;
  ListedEntry(std::string_view listed, std::uint64_t id) : name(listed), id_(id) {}

  // POSIX: the inode number the folder listed for the name, a sort key and never proof of
  // which file the name holds: FAT, exFAT, network and other FUSE file systems list numbers
  // that need not match the file's own (exfat-fuse lists 4294967295 for every name).
  // Windows: the entry's place in its batch, which also finds the name as it was listed.
  std::uint64_t id_ = 0;
};

// What a listed file takes, as far as the caps on a folder's logs ask.
struct FileSize {
  std::uint64_t length = 0;     // bytes of content, as ls -l and Explorer show them
  std::uint64_t allocated = 0;  // bytes the file takes on its file system
  std::uint64_t links = 1;      // its names: only the last one's deletion frees `allocated`
  bool read_only = false;       // the read-only mark (POSIX: no write permission bit)
};

// The space of a file system, as the running user may use it.
struct DiskSpace {
  std::uint64_t free = 0;   // bytes free to this user (POSIX: f_bavail blocks)
  std::uint64_t total = 0;  // bytes of the whole file system (as this user sees it)
};

// The reason DeleteEntry and WouldDeleteEntry give for a file with the read-only mark, which
// stays on purpose.
inline constexpr char kReadOnlyReason[] = "read-only";

// Why a file that a sweep meant to delete stayed, in the few kinds that ask for different
// action (clear a mark, wait for a program, fix ownership, remount), for the report's
// counts; the system's own words stay in the notices.
enum class DeletionFailure { kReadOnly, kInUse, kPermissionDenied, kReadOnlyFileSystem, kOther };
inline constexpr std::size_t kDeletionFailureKinds = 5;
// Files that stayed, counted by DeletionFailure.
using FailureCounts = std::array<std::int64_t, kDeletionFailureKinds>;

// The kind of `failed`, a kFailed result of DeleteEntry or WouldDeleteEntry: kReadOnly for
// kReadOnlyReason, else by its code (kOther without one: no longer an ordinary file).
//  POSIX, errno: EBUSY and ETXTBSY in use (a file mounted over, one being executed);
//  EACCES and EPERM permission denied (the folder's rights, the sticky bit, an immutable
//  or append-only mark); EROFS read-only file system.
//  Windows, the Win32 code: ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION and
//  ERROR_USER_MAPPED_FILE in use (held open without delete sharing, locked, mapped);
//  ERROR_ACCESS_DENIED permission denied; ERROR_WRITE_PROTECT read-only file system (a
//  write-protected medium or read-only volume).
DeletionFailure KindOfFailure(const OsResult& failed);

// The bytes one batch of a listing may take: its names, the entries that point at them
// and, on Windows, the names as listed in UTF-16. A folder of any size is read in this
// much memory (and one entry more). At typical log names (some 25 bytes) a batch holds
// about 80,000 entries, the old ones of each batch deleted in one run of OrderForDeletion's
// order. Batches of 5, 8 and 64 MiB (the whole of 300,000 files) measured no faster; 1 MiB
// was 10% slower.
inline constexpr std::size_t kBatchBytes = std::size_t{4} << 20;

// A stream over the ordinary files of one folder whose names match a wildcard pattern
// ("*" any run, "?" one character, letters compared ignoring case). Folders, hidden and
// system entries, and on POSIX anything but a regular file, are never listed. A listing of
// sub-folders (OpenSubfolders) lists the folders a sweep may enter instead.
class FolderListing {
 public:
  // Batches of at most `batch_bytes` (see kBatchBytes); a batch holds one entry even when
  // that is more.
  explicit FolderListing(std::size_t batch_bytes = kBatchBytes);
  ~FolderListing();
  FolderListing(const FolderListing&) = delete;
  FolderListing& operator=(const FolderListing&) = delete;

  // Opens `folder` (as FolderAsUsed gives it: on Windows "\" and "/" both separate, on
  // POSIX "\" is part of a name) for `pattern`; a listing opened before is closed first, so
  // one FolderListing can read a folder several times over.
  //  kDone:     the folder is open; NextBatch() gives its names.
  //  kNotThere: no such folder: nothing is listed.
  //  kFailed:   the folder is there but cannot be read; `reason` says why.
  OsResult Open(const std::string& folder, const std::string& pattern);

  // Closes the folder; nothing is listed until the next Open. The batch's storage stays for
  // that, so a walk that opens one small folder after another allocates it once.
  void Close();

  // Reads the folder that is open again from its start, as if it had just been opened,
  // for a sweep that must know the whole folder before it deletes (/Keep).
  //  kDone:     NextBatch() gives its names from the first again.
  //  kNotThere: no folder is open.
  //  kFailed:   it cannot be read again; `reason` says why.
  OsResult Restart();

  // Opens the folder that `files` (another listing, opened) holds open once more, to list
  // instead of files the sub-folders a sweep may enter: folders that are no symbolic link,
  // junction or other reparse point, and neither hidden (POSIX: a name that begins with
  // ".") nor system folders. Whether one is a mount point is found when it is opened.
  // Results as for Open().
  OsResult OpenSubfolders(const FolderListing& files);

  // Opens for `pattern` the sub-folder `entry` of the current batch of `folders` (a
  // listing of sub-folders), relative to the folder `folders` holds open and never by path,
  // so a sub-folder swapped for a link meanwhile is not followed: never through a
  // symbolic link, junction or other reparse point, never onto the root of a mount (on
  // POSIX a mount of any kind, a bind mount of the same file system included; on Windows a
  // volume mount point, a reparse point too), never a hidden or system folder.
  //  kDone:     the sub-folder is open; NextBatch() gives its names.
  //  kNotThere: nothing that may be entered stands under that name now (gone, or a link, a
  //             mount point, no folder): nothing is listed.
  //  kFailed:   it is there but cannot be opened or read; `reason` says why.
  OsResult OpenSubfolder(const FolderListing& folders, const ListedEntry& entry,
                         const std::string& pattern);

  // Replaces `*batch` with the next matching names in the file system's order. Deleting
  // listed entries does not disturb the order; each name comes once.
  //  kDone:     `*batch` holds at least one entry.
  //  kNotThere: the listing is exhausted (or was never opened); `*batch` is empty.
  //  kFailed:   reading the folder failed part-way; `reason` says why.
  OsResult NextBatch(std::vector<ListedEntry>* batch);

  // Puts `*entries`, entries of the current batch in any order, in the order this system
  // deletes them fastest. POSIX: ascending inode number as listed, which keeps the file
  // system's inode table and bitmap accesses local, most of the cost of a large deletion.
  // Windows: the order they were listed in. Meant for the entries about to be deleted
  // alone: ordering every listed entry would slow a sweep of young files for nothing.
  // Never fails; touches no file.
  void OrderForDeletion(std::vector<ListedEntry>* entries) const;

  // What the file that now stands under the name of `entry` (of the current batch) takes,
  // looked at without following a link.
  //  kDone:     `*size` holds it.
  //  kNotThere: nothing stands under that name now, or no ordinary file.
  //  kFailed:   it cannot be looked at; `reason` says why.
  OsResult MeasureEntry(const ListedEntry& entry, FileSize* size) const;

  // The space of the file system the open folder lies on.
  //  kDone:     `*space` holds it.
  //  kNotThere: no folder is open.
  //  kFailed:   the system cannot say; `reason` says why.
  OsResult Space(DiskSpace* space) const;

  // Deletes the file that now stands under the name of `entry` (of the current batch) in
  // the folder that was opened, never following a link, and only while it is still an
  // ordinary file: on POSIX by the folder's descriptor, so a renamed folder cannot redirect
  // it, the file looked at immediately before it goes; on Windows the folder is held open
  // without delete sharing from Open() on, so it cannot be renamed or removed meanwhile.
  //  kDone:     deleted.
  //  kNotThere: nothing stands under that name any more.
  //  kFailed:   it stays; `reason` says why: exactly kReadOnlyReason for the read-only mark
  //             (on POSIX: no write permission bit at all), else no longer an ordinary
  //             file, in use, or the system's refusal ("Permission denied" for a folder
  //             this process may not change, "Read-only file system").
  // `*size`, when given, receives on kDone what the file took, from the look at it just
  // before it went.
  OsResult DeleteEntry(const ListedEntry& entry, FileSize* size = nullptr);

  // What DeleteEntry(entry) would return, reason included, found without deleting. On
  // Windows the entry is opened for deletion as DeleteEntry opens it, so rights and other
  // openers count too. On POSIX the checks DeleteEntry makes itself, then what unlinking
  // would meet, in the order the kernel meets it: a read-only mount, write and search
  // permission on the folder and its own immutable and append-only marks, the sticky bit
  // against the file's and the folder's owners (and CAP_FOWNER), the file's immutable and
  // append-only marks. What neither can know beforehand: a file held open elsewhere at
  // the moment of deletion (Windows), a file changed in between, a security module's or a
  // network file system's own refusal.
  OsResult WouldDeleteEntry(const ListedEntry& entry, FileSize* size = nullptr);

  // DeleteEntry and WouldDeleteEntry may be called from several threads at once, for
  // entries of the current batch, while no other member is called: they only read what
  // Open and NextBatch set (the folder's descriptor or handle, the batch), apart from the
  // POSIX preview's facts about the folder, which the first caller asks for once.

  // The most threads worth deleting in one folder at once: 4. On ext4 most of an unlink is
  // spent after the folder's lock is released (freeing the inode and its blocks), and 4
  // threads on 2 cores gained little over 2. Under Wine, whose one server every call goes
  // through, deleting by handle from 2 and 4 threads still beat one (real Windows is not
  // measured here).
  static unsigned MostDeletingThreads();

 private:
  // What this system holds while it reads a folder: listing_state.h in platform/posix/ and
  // platform/win32/.
  struct State;

  // Replaces the state with a fresh one for a new reading, which keeps the batch storage of
  // the reading before, and returns it.
  State& StartReading();

  std::size_t batch_bytes_;
  std::unique_ptr<State> state_;
};

}  // namespace tarnwell::platform

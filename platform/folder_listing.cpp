// What a folder listing does alike on every system; each system's reading of the folder
// and its deletion are in platform/posix/ and platform/win32/. This file asks of the
// system's State only that it is made from the batch size, keeps its batch in `batch`, is
// the EntrySource of it and can go back to the folder's first entry (Rewind).
#include "platform/folder_listing.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/batch_arena.h"
#ifdef _WIN32
#include "platform/win32/listing_state.h"
#else
#include "platform/posix/listing_state.h"
#endif

namespace tarnwell::platform {

FolderListing::FolderListing(std::size_t batch_bytes)
    : batch_bytes_(batch_bytes), state_(std::make_unique<State>(batch_bytes)) {}

FolderListing::~FolderListing() = default;

FolderListing::State& FolderListing::StartReading() {
  auto fresh = std::make_unique<State>(batch_bytes_);
  // A folder read again needs no second block.
  fresh->batch.TakeStorage(state_->batch);
  state_ = std::move(fresh);
  return *state_;
}

void FolderListing::Close() { StartReading(); }

OsResult FolderListing::Restart() {
  state_->batch.Restart();
  return state_->Rewind();
}

OsResult FolderListing::NextBatch(std::vector<ListedEntry>* batch) {
  return state_->batch.Fill(*state_, batch);
}

void FolderListing::OrderForDeletion(std::vector<ListedEntry>* entries) const {
  // Windows numbers an entry by its place in the batch, so the same sort keeps its order.
  std::sort(entries->begin(), entries->end(),
            [](const ListedEntry& a, const ListedEntry& b) { return a.id_ < b.id_; });
}

unsigned FolderListing::MostDeletingThreads() { return 4; }

}  // namespace tarnwell::platform

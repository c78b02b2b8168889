#include "platform/batch_arena.h"

#include <cstring>
#include <utility>

namespace tarnwell::platform {

BatchArena::BatchArena(std::size_t budget, std::size_t largest)
    : budget_(budget), largest_(largest) {}

void BatchArena::TakeStorage(BatchArena& other) {
  bytes_ = std::move(other.bytes_);
  placed_ = std::move(other.placed_);
  placed_.clear();
  used_ = other.used_ = 0;
}

void BatchArena::Restart() {
  used_ = 0;
  placed_.clear();
  held_ = OsResult::Done();
  ended_ = false;
}

std::size_t BatchArena::Spent(std::size_t entries) const {
  return used_ + entries * sizeof(ListedEntry) + placed_.size() * sizeof(Placed);
}

bool BatchArena::Keep(const FoundEntry& found, ListedEntry* kept) {
  const std::size_t size = found.name.size() + 1 + found.form.size();
  if (size > largest_) return false;
  char* at = bytes_.get() + used_;
  found.name.copy(at, found.name.size());
  at[found.name.size()] = '\0';
  found.form.copy(at + found.name.size() + 1, found.form.size());
  *kept = ListedEntry(std::string_view(at, found.name.size()), found.id);
  if (!found.form.empty()) {
    // Every entry of the batch is counted in the budget, so this never grows beyond it.
    if (placed_.capacity() == 0)
      placed_.reserve(budget_ / (sizeof(ListedEntry) + sizeof(Placed)) + 1);
    kept->id_ = placed_.size();
    const auto name_at = static_cast<std::uint32_t>(used_);
    placed_.push_back({name_at, static_cast<std::uint32_t>(name_at + found.name.size() + 1),
                       static_cast<std::uint32_t>(used_ + size)});
  }
  used_ += size;
  return true;
}

OsResult BatchArena::Fill(EntrySource& source, std::vector<ListedEntry>* batch) {
  batch->clear();
  used_ = 0;
  placed_.clear();
  if (held_.failed()) return std::exchange(held_, OsResult::Done());
  if (ended_) return OsResult::NotThere();
  if (!bytes_) bytes_ = std::make_unique_for_overwrite<char[]>(budget_ + largest_);
  // Reserved, not touched: the pages come into use as entries arrive.
  batch->reserve(budget_ / sizeof(ListedEntry) + 1);
  while (Spent(batch->size()) <= budget_) {
    FoundEntry found;
    const OsResult next = source.Next(&found);
    if (next.failed()) {
      if (batch->empty()) return next;
      held_ = next;
      break;
    }
    if (!next.done()) {
      ended_ = true;
      break;
    }
    ListedEntry kept;
    if (Keep(found, &kept)) batch->push_back(kept);
  }
  return batch->empty() ? OsResult::NotThere() : OsResult::Done();
}

std::string_view BatchArena::FormOf(const ListedEntry& entry) const {
  if (entry.id_ >= placed_.size()) return {};
  const Placed& placed = placed_[entry.id_];
  const std::string_view name(bytes_.get() + placed.name_at, placed.form_at - placed.name_at - 1);
  if (name != entry.name) return {};
  return {bytes_.get() + placed.form_at, placed.end - placed.form_at};
}

bool IsEntryName(std::string_view name, std::string_view separators) {
  return !name.empty() && name != "." && name != ".." &&
         name.find('\0') == std::string_view::npos &&
         name.find_first_of(separators) == std::string_view::npos;
}

}  // namespace tarnwell::platform

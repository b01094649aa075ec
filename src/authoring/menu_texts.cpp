#include "authoring/menu_texts.hpp"

#include <algorithm>

namespace vunt {

std::uint32_t MenuTextPool::id(std::u32string_view text) {
  auto [it, fresh] = ids_.try_emplace(std::u32string(text), std::uint32_t(texts_.size()));
  if (fresh) texts_.emplace_back(text);
  return it->second;
}

void EntryTexts::add(std::uint32_t id, const MenuTextPool& pool) {
  if (unknown) return;
  const std::u32string& t = pool.text(id);
  std::size_t at = 0;
  while (at < count && pool.text(ids[at]) < t) ++at;
  if (at < count && ids[at] == id) return;
  if (count == kMaxTexts) return makeUnknown();
  std::copy_backward(ids.begin() + at, ids.begin() + count, ids.begin() + count + 1);
  ids[at] = id;
  ++count;
}

bool EntryTexts::join(const EntryTexts& o, const MenuTextPool& pool) {
  if (unknown) return false;
  if (o.unknown) {
    makeUnknown();
    return true;
  }
  const std::size_t before = count;
  for (std::size_t i = 0; i < o.count; ++i) add(o.ids[i], pool);
  return unknown || count != before;
}

}  // namespace vunt

#pragma once
// The page's record between visits: the browser's localStorage, under one
// key per program. Where the browser keeps nothing (private browsing, a
// blocked file:// origin) the storage says it is not available.
#include <memory>
#include <string>

#include "../storage.h"

namespace lk {
std::unique_ptr<Storage> page_storage(const std::string& key);
}  // namespace lk

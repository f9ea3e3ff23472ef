#include "web/connect_to.h"

#include <mutex>

namespace vd {

namespace {

struct ConnectToTable {
  std::mutex mutex;
  std::vector<std::string> entries;
};

// Leaked on purpose: abandoned workers may read it while the process ends.
ConnectToTable& table() {
  static ConnectToTable* instance = new ConnectToTable;
  return *instance;
}

bool is_port(std::string_view text) {
  if (text.empty()) return true;  // any port
  if (text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value >= 1 && value <= 65535;
}

bool is_plain(std::string_view text) {
  for (unsigned char c : text)
    if (c <= ' ' || c >= 0x7f) return false;
  return true;
}

// "HOST:PORT:" of an entry, the part that says which requests it applies to.
std::string_view source_of(std::string_view entry) {
  std::size_t first = entry.find(':');
  std::size_t second = entry.find(':', first + 1);
  return entry.substr(0, second + 1);
}

bool well_formed(std::string_view entry) {
  if (!is_plain(entry)) return false;
  std::size_t first = entry.find(':');
  if (first == std::string_view::npos) return false;
  std::size_t second = entry.find(':', first + 1);
  if (second == std::string_view::npos) return false;
  std::string_view host = entry.substr(0, first);
  std::string_view port = entry.substr(first + 1, second - first - 1);
  std::string_view target = entry.substr(second + 1);
  std::size_t last = target.rfind(':');
  if (last == std::string_view::npos) return false;
  std::string_view address = target.substr(0, last);
  std::string_view target_port = target.substr(last + 1);
  if (host.find_first_of("[]") != std::string_view::npos) return false;
  if (!address.empty() && address.front() == '[' && address.back() != ']') return false;
  return is_port(port) && is_port(target_port);
}

}  // namespace

bool add_connect_to(std::string_view entry) {
  if (!well_formed(entry)) return false;
  ConnectToTable& t = table();
  std::lock_guard lock(t.mutex);
  // curl takes the first entry that matches, so a newer entry for the same HOST:PORT replaces the older.
  std::erase_if(t.entries, [&](const std::string& e) { return source_of(e) == source_of(entry); });
  t.entries.emplace_back(entry);
  return true;
}

void clear_connect_to() {
  ConnectToTable& t = table();
  std::lock_guard lock(t.mutex);
  t.entries.clear();
}

std::vector<std::string> connect_to_entries() {
  ConnectToTable& t = table();
  std::lock_guard lock(t.mutex);
  return t.entries;
}

}  // namespace vd

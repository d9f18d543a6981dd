#include "app/os/adapters.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "app/os/socket_util.h"

namespace vorante {

namespace {

bool contains_ignoring_case(std::string_view text, std::string_view word) {
  const auto it = std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
  return it != text.end();
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

}  // namespace

bool is_virtual_adapter(std::string_view name) {
  return contains_ignoring_case(name, "vmware") || name.starts_with("vmnet");
}

bool is_probed_interface(std::string_view name, bool up, bool loopback, uint32_t address) {
  return up && !loopback && address != 0 && !is_virtual_adapter(name);
}

std::vector<adapter> parse_adapter_list(std::string_view text) {
  std::vector<adapter> list;
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view item = trimmed(text.substr(0, comma));
    text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    uint32_t address = 0;
    if (parse_ipv4(item, address) && address != 0) list.push_back({std::string(item), address});
  }
  return list;
}

std::vector<adapter> local_adapters() {
  if (const char* forced = std::getenv(adapters_variable)) return parse_adapter_list(forced);

  std::vector<adapter> list;
  ifaddrs* all = nullptr;
  if (getifaddrs(&all) != 0) return list;
  for (const ifaddrs* it = all; it != nullptr; it = it->ifa_next) {
    if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET) continue;
    const auto* sa = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
    const uint32_t address = ntohl(sa->sin_addr.s_addr);
    const std::string_view name = it->ifa_name != nullptr ? it->ifa_name : "";
    if (is_probed_interface(name, (it->ifa_flags & IFF_UP) != 0, (it->ifa_flags & IFF_LOOPBACK) != 0,
                            address))
      list.push_back({std::string(name), address});
  }
  freeifaddrs(all);
  return list;
}

}  // namespace vorante

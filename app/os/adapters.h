// The local networks discovery probes: one entry per usable IPv4 adapter, or the list in
// VORANTE_ADAPTERS (comma-separated addresses) when that variable is set, so a run can be
// kept on loopback.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorante {

constexpr const char* adapters_variable = "VORANTE_ADAPTERS";

struct adapter {
  std::string name;
  uint32_t address = 0;  // host order
};

// The address with its last number replaced by 255: 192.168.1.23 -> 192.168.1.255. The
// netmask is not consulted; consoles are expected on the adapter's own /24.
constexpr uint32_t broadcast_address(uint32_t address) { return address | 0xFFu; }

// VMware's virtual adapters ("VMware Network Adapter ...", "vmnet8") lead nowhere a
// console could be.
bool is_virtual_adapter(std::string_view name);

// Whether an interface with these properties is probed: up, not loopback, a non-zero
// address, not virtual.
bool is_probed_interface(std::string_view name, bool up, bool loopback, uint32_t address);

// The VORANTE_ADAPTERS form: comma-separated IPv4 addresses, blanks around them allowed.
// Entries that are not an address, or are 0.0.0.0, are left out.
std::vector<adapter> parse_adapter_list(std::string_view text);

// The adapters of this machine, or the VORANTE_ADAPTERS list when the variable is set.
std::vector<adapter> local_adapters();

}  // namespace vorante
